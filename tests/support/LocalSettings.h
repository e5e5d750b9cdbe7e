// A copy of the delivered settings served by a loopback server of the test's own.
#pragma once

#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"

#include <memory>

/// Makes `db`, a copy of the delivered settings, and `server`, and points every host of the copy
/// at the server, the second source's too, so that nothing leaves the machine. False when one
/// of them fails.
inline bool ServeSettingsLocally(std::unique_ptr<TestDatabase> &db,
                                 std::unique_ptr<LoopbackHttpServer> &server)
{
    db = std::make_unique<TestDatabase>();
    server = std::make_unique<LoopbackHttpServer>();
    return db->isValid() && server->start() && db->setAllHosts(server->baseUrl().toString());
}
