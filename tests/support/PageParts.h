// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// Finds a part of a page by its object name, as a user finds it by what it is: the tests need
// no getters on the pages for them. A part that is missing ends the test with its name.
namespace PageParts {

template <typename T> T* find(const QObject* page, const char* name)
{
    T* part = page ? page->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!part)
        qFatal("page part \"%s\" not found", name);
    return part;
}

} // namespace PageParts
