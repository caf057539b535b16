// SPDX-License-Identifier: MIT
#include "Service/CServiceContacts.h"
#include "CServiceContactsValues.h"

QString CServiceContacts::hotline()
{
    return QStringLiteral(VELLORA_SERVICE_HOTLINE);
}

QString CServiceContacts::qqNumber()
{
    return QStringLiteral(VELLORA_SERVICE_QQ);
}
