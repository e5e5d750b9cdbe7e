// The local pages shown in place of a document that cannot be shown, in Japanese.
#pragma once

#include "web/DocumentAddress.h"

#include <QString>

/// The local page shown instead of a document whose source has no address.
QString notConfiguredPage(const DocumentAddress &address, const QString &title);

/// Why a document could not be loaded, as the browser engine tells it.
enum class LoadFailure {
    NoAnswer,     ///< timed out, or the connection dropped
    NameNotFound, ///< the host name does not resolve
    Refused,      ///< nobody listens there
    HttpStatus,   ///< the server answered with an error status (`code`)
    Certificate,  ///< the server's certificate was refused
    Other,        ///< anything else (`code` is the engine's)
};

/// The local page shown instead of a document that could not be loaded, in Japanese: what
/// happened and the address.
QString loadFailedPage(const QString &url, const QString &title, LoadFailure failure, int code);
