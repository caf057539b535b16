// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <functional>

// The client identifier of "user_data.js": the installation's "zov_flag" from "config.js"
// followed by the upper-case MD5 of this machine's first address with every ':' removed.
class CClientIdentifier
{
public:
    // Looks a host name up and gives its first address as text, empty when there is none. It may
    // block for as long as it likes: it runs on a thread of its own.
    using Resolver = std::function<QString(const QString& hostName)>;
    // The system's resolver (QHostInfo::fromName).
    static QString systemResolver(const QString& hostName);

    // Flag from configPath, address of the local host. When the host name resolves to no address
    // (or not within timeoutMs, so that closing the program is never held up long), the host
    // name itself is hashed instead.
    static QString make(const QString& configPath, int timeoutMs = 1000,
                        const Resolver& resolver = systemResolver);

    // flag followed by the 32 upper-case hexadecimal digits of MD5(text without ':').
    static QString fromText(const QString& flag, const QString& text);

    // "config"/"update_zov"/"zov_flag" of configPath; empty when missing or unreadable.
    static QString readFlag(const QString& configPath);

    // The first address the name resolves to, as text; empty when there is none or the look-up
    // takes longer than timeoutMs. A look-up that overruns finishes on its own thread unobserved.
    static QString firstAddress(const QString& hostName, int timeoutMs,
                                const Resolver& resolver = systemResolver);
};
