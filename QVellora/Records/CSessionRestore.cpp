// SPDX-License-Identifier: MIT
#include "Records/CSessionRestore.h"

#include "Selection/CSelection.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

QString CSessionRestore::identity(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir::fromNativeSeparators(path)) : canonical;
}

QStringList CSessionRestore::onePerFile(const QStringList& paths)
{
    QStringList kept;
    QSet<QString> seen;
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        const QString file = identity(path);
        const QString spelling = m_spellings.value(file, path);
        m_spellings.insert(file, spelling);
        if (!seen.contains(spelling)) {
            seen.insert(spelling);
            kept.append(spelling);
        }
    }
    return kept;
}

void CSessionRestore::start(const CLastSession& session)
{
    m_spellings.clear();
    m_pending = session;
    m_pending.cachedPaths = onePerFile(session.cachedPaths);
    for (CCategory& category : m_pending.categories)
        category.pictures = onePerFile(category.pictures);
}

QStringList CSessionRestore::gridPictures(const QStringList& cached) const
{
    return CLastSession::picturesInFolder(cached, m_pending.chosenFolder);
}

int CSessionRestore::apply(CSelection* selection, const QStringList& cached)
{
    const CLastSession session = std::exchange(m_pending, CLastSession());

    const QSet<QString> cachedSet(cached.cbegin(), cached.cend());
    QSet<QString> listed(m_unshownCached.cbegin(), m_unshownCached.cend());
    for (const QString& path : session.cachedPaths) {
        if (!cachedSet.contains(path) && !listed.contains(path)) {
            listed.insert(path);
            m_unshownCached.append(path);
        }
    }
    QSet<QString> unshown;
    for (const CCategory& category : session.categories) {
        const int row = selection->addCategory(category.name);
        selection->setPrintSize(row, category.printSize);
        const QStringList shown = CLastSession::restorablePicturesIn(category, cachedSet);
        selection->addPictures(row, shown);
        if (shown.size() == category.pictures.size())
            continue;
        m_restoredRows.insert(row, {category.pictures, shown});
        const QSet<QString> shownSet(shown.cbegin(), shown.cend());
        for (const QString& path : category.pictures) {
            if (!shownSet.contains(path))
                unshown.insert(path);
        }
    }
    return unshown.size();
}

void CSessionRestore::keepUnshown(CLastSession* session,
                                  const std::function<bool(const QString&)>& hasThumbnail) const
{
    for (auto restored = m_restoredRows.cbegin(); restored != m_restoredRows.cend(); ++restored) {
        if (restored.key() < session->categories.size()) {
            QStringList& pictures = session->categories[restored.key()].pictures;
            pictures = CLastSession::keepUnshown(restored->saved, restored->shown, pictures);
        }
    }
    QSet<QString> listed(session->cachedPaths.cbegin(), session->cachedPaths.cend());
    for (const QString& path : m_unshownCached) {
        if (!hasThumbnail(path) && !listed.contains(path)) {
            listed.insert(path);
            session->cachedPaths.append(path);
        }
    }
}
