// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The service's customer contacts, fixed at build time (CMake cache entries VELLORA_SERVICE_HOTLINE
// and VELLORA_SERVICE_QQ).
class CServiceContacts
{
public:
    static QString hotline();
    static QString qqNumber();
};
