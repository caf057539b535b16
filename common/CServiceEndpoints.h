// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

// Every address of the online service, in one place. The four hosts are fixed at build time;
// for development and tests the environment variable VELLORA_SERVICE_URL points all of them at
// one base URL (for example http://127.0.0.1:18080). Nothing else is configurable at run time.
class CServiceEndpoints
{
public:
    enum class Host
    {
        Api,
        MobileApi,
        Storage,
        Web
    };

    static QUrl hostUrl(Host host);

    static QUrl usageLog();        // POST, API host
    static QUrl login();           // POST, mobile API host
    static QUrl registration();    // POST, mobile API host
    static QUrl uploadAuth();      // GET, mobile API host
    static QUrl imageSave();       // POST, mobile API host
    static QUrl versionManifest(); // GET, storage host
    static QUrl releaseArchive();  // GET, storage host
    static QUrl webHome();         // opened in the browser
    static QUrl printOrder();      // opened in the browser

private:
    static QUrl onHost(Host host, const QString& path);
};
