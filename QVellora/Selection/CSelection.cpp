// SPDX-License-Identifier: MIT
#include "Selection/CSelection.h"

#include <algorithm>

CSelection::CSelection(QObject* parent) : QObject(parent) {}

QString CSelection::defaultName()
{
    // Stored in the records as it is: never translated.
    return QStringLiteral("点击命名");
}

QString CSelection::shownName(const QString& name)
{
    return name == defaultName() ? tr("点击命名") : name;
}

QString CSelection::storedName(const QString& shown)
{
    return shown == tr("点击命名") ? defaultName() : shown;
}

QList<QColor> CSelection::colors()
{
    return {QColor(255, 53, 53),   QColor(255, 215, 0),   QColor(255, 0, 255),   QColor(188, 238, 104),
            QColor(100, 149, 237), QColor(123, 104, 238), QColor(0, 255, 150),   QColor(95, 158, 160),
            QColor(166, 166, 5),   QColor(8, 232, 227),   QColor(167, 209, 234), QColor(171, 171, 171)};
}

bool CSelection::contains(int row, const QString& path) const
{
    return isRow(row) && m_members.at(row).contains(path);
}

QList<int> CSelection::rowsHolding(const QString& path) const
{
    QList<int> rows;
    for (int row = 0; row < m_members.size(); ++row) {
        if (m_members.at(row).contains(path))
            rows.append(row);
    }
    return rows;
}

QList<CCategory> CSelection::filledCategories() const
{
    QList<CCategory> filled;
    for (const CCategory& category : m_categories) {
        if (!category.pictures.isEmpty())
            filled.append(category);
    }
    return filled;
}

QList<int> CSelection::filledRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_categories.size(); ++row) {
        if (!m_categories.at(row).pictures.isEmpty())
            rows.append(row);
    }
    return rows;
}

int CSelection::sortedPictureCount() const
{
    QSet<QString> all;
    for (const QSet<QString>& members : m_members)
        all.unite(members);
    return all.size();
}

int CSelection::addCategory(const QString& name)
{
    const QList<QColor> palette = colors();
    if (m_nextColor >= palette.size())
        m_nextColor = 0;
    m_categories.append({name, {}, palette.at(m_nextColor++), CPrintSize::standard().key()});
    m_members.append(QSet<QString>());
    const int row = m_categories.size() - 1;
    emit categoryAdded(row);
    emit changed();
    return row;
}

bool CSelection::removeLastCategory()
{
    if (m_categories.isEmpty() || !m_categories.last().pictures.isEmpty())
        return false;
    m_categories.removeLast();
    m_members.removeLast();
    // The next category takes the colour this one had.
    m_nextColor = m_nextColor > 0 ? m_nextColor - 1 : colors().size() - 1;
    const int row = m_categories.size();
    emit categoryRemoved(row);
    emit changed();
    return true;
}

QStringList CSelection::addPictures(int row, const QStringList& paths)
{
    if (!isRow(row))
        return {};
    QSet<QString>& members = m_members[row];
    QStringList added;
    for (const QString& path : paths) {
        if (path.isEmpty() || members.contains(path))
            continue;
        members.insert(path);
        added.append(path);
    }
    if (added.isEmpty())
        return added;
    m_categories[row].pictures.append(added);
    emit picturesAdded(row, added);
    emit changed();
    return added;
}

QStringList CSelection::removePictures(int row, const QStringList& paths)
{
    if (!isRow(row))
        return {};
    QSet<QString>& members = m_members[row];
    QStringList removed;
    QSet<QString> gone;
    for (const QString& path : paths) {
        if (members.remove(path)) {
            removed.append(path);
            gone.insert(path);
        }
    }
    if (removed.isEmpty())
        return removed;
    QStringList& pictures = m_categories[row].pictures;
    pictures.erase(std::remove_if(pictures.begin(), pictures.end(),
                                  [&gone](const QString& path) { return gone.contains(path); }),
                   pictures.end());
    emit picturesRemoved(row, removed);
    emit changed();
    return removed;
}

QStringList CSelection::clearPictures(int row)
{
    return removePictures(row, at(row).pictures);
}

void CSelection::rename(int row, const QString& name)
{
    if (!isRow(row) || m_categories.at(row).name == name)
        return;
    m_categories[row].name = name;
    emit renamed(row, name);
    emit changed();
}

void CSelection::setPrintSize(int row, const QString& key)
{
    const QString known = CPrintSize::byKey(key).key();
    if (!isRow(row) || m_categories.at(row).printSize == known)
        return;
    m_categories[row].printSize = known;
    emit printSizeChanged(row, known);
    emit changed();
}

bool CSelection::keepFreeRow(const QString& name)
{
    for (const CCategory& category : m_categories) {
        if (category.pictures.isEmpty())
            return false;
    }
    addCategory(name);
    return true;
}
