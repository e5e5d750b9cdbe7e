// The outside servers the program is configured with: their order and how an address is checked.
#pragma once

#include <QString>
#include <QStringList>

/// The `host` rows in the order the user sees them: report server, second report server,
/// network check, program page, chart sources 1-9, camera sources 1-6.
QStringList HostNames();

/// An address as typed, checked: the address to store, or why it cannot be stored.
struct HostValidation
{
    QString address; ///< trimmed, without a trailing "/"; empty means "not set"
    QString error;   ///< empty when the address can be stored
};

/// Checks a typed address: scheme http or https, a host, no query or fragment; blanks and a
/// trailing "/" are trimmed, and an empty text means the source is not set.
HostValidation ValidateHostAddress(const QString &typed);
