// How an address typed for an outside server is checked (the servers themselves: Sources.h).
#pragma once

#include <QString>

/// An address as typed, checked: the address to store, or why it cannot be stored.
struct HostValidation
{
    QString address; ///< trimmed, without a trailing "/"; empty means "not set"
    QString error;   ///< empty when the address can be stored
};

/// Checks a typed address: scheme http or https, a host, no query or fragment; blanks and a
/// trailing "/" are trimmed, and an empty text means the source is not set.
HostValidation ValidateHostAddress(const QString &typed);
