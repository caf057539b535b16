// SPDX-License-Identifier: MIT
#include "Pictures/CPictureListModel.h"

#include "Selection/CSelection.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <algorithm>

CPictureListModel::CPictureListModel(QObject* parent)
    : QAbstractListModel(parent), m_removeTimer(new QTimer(this))
{
    m_removeTimer->setSingleShot(true);
    m_removeTimer->setInterval(0);
    connect(m_removeTimer, &QTimer::timeout, this, &CPictureListModel::removeGoneRows);
}

void CPictureListModel::setBudget(qint64 bytes)
{
    m_budget = qMax<qint64>(0, bytes);
    evictOverBudget();
}

void CPictureListModel::setItems(const QStringList& folders, const QStringList& pictures)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(folders.size() + pictures.size());
    // One row per path: a path listed twice would wait for a thumbnail that goes to the other.
    QSet<QString> listed;
    listed.reserve(folders.size() + pictures.size());
    for (const QString& folder : folders) {
        if (listed.contains(folder))
            continue;
        listed.insert(folder);
        Row row;
        row.path = folder;
        row.folder = true;
        m_rows.append(row);
    }
    for (const QString& picture : pictures) {
        if (listed.contains(picture))
            continue;
        listed.insert(picture);
        Row row;
        row.path = picture;
        m_rows.append(row);
    }
    m_folderCount =
        int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row& row) { return row.folder; }));
    m_held.clear();
    m_heldBytes = 0;
    m_tickedCount = 0;
    m_rowOfPath.clear();
    m_rowOfPath.reserve(m_rows.size());
    indexRows(0);
    m_focusFirst = 0;
    m_focusLast = -1;
    m_removeTimer->stop();
    endResetModel();
}

void CPictureListModel::appendPicture(const QString& path, const QImage& thumbnail)
{
    if (rowOf(path) >= 0) {
        if (!thumbnail.isNull())
            setThumbnail(path, thumbnail);
        return;
    }
    const int at = m_rows.size();
    beginInsertRows(QModelIndex(), at, at);
    Row row;
    row.path = path;
    row.loaded = true;
    m_rows.append(row);
    m_rowOfPath.insert(path, at);
    endInsertRows();
    if (!thumbnail.isNull())
        setThumbnail(path, thumbnail);
}

void CPictureListModel::clear()
{
    setItems({}, {});
}

int CPictureListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant CPictureListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QFileInfo(row.path).fileName();
    case Qt::ToolTipRole: {
        QStringList lines{QDir::toNativeSeparators(row.path)};
        if (!row.facts.refusal.isEmpty())
            lines.prepend(row.facts.refusal);
        if (row.facts.pixelSize.isValid() && !row.facts.pixelSize.isEmpty())
            lines
                << tr("尺寸 %1 × %2 像素").arg(row.facts.pixelSize.width()).arg(row.facts.pixelSize.height());
        if (row.facts.captureTime.isValid())
            lines
                << tr("拍摄时间 %1").arg(row.facts.captureTime.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (row.facts.fileBytes >= 0)
            lines << tr("文件大小 %1")
                         .arg(QLocale::c().formattedDataSize(row.facts.fileBytes, 1,
                                                             QLocale::DataSizeTraditionalFormat));
        const QStringList categories = categoryNames(row.path);
        if (!categories.isEmpty())
            lines << tr("类别：%1").arg(categories.join(tr("、")));
        return lines.join(QLatin1Char('\n'));
    }
    case Qt::AccessibleTextRole:
        return accessibleText(index.row());
    case Qt::AccessibleDescriptionRole:
        return data(index, Qt::ToolTipRole);
    case PathRole:
        return row.path;
    case PixelSizeRole:
        return row.facts.pixelSize.isValid() && !row.facts.pixelSize.isEmpty() ? QVariant(row.facts.pixelSize)
                                                                               : QVariant();
    case TakenRole:
        return row.facts.captureTime.isValid() ? QVariant(row.facts.captureTime) : QVariant();
    case FileBytesRole:
        return row.facts.fileBytes >= 0 ? QVariant(row.facts.fileBytes) : QVariant();
    case ThumbnailRole:
        return row.thumbnail.isNull() ? QVariant() : QVariant(row.thumbnail);
    case IsFolderRole:
        return row.folder;
    case LookalikeCountRole:
        return int(row.lookalikes);
    case SharpestRole:
        return row.sharpest;
    case TickedRole:
        return row.tick != 0;
    case LoadedRole:
        return row.loaded;
    case RefusalRole:
        return row.facts.refusal.isEmpty() ? QVariant() : QVariant(row.facts.refusal);
    case MarksRole: {
        QList<QColor> marks;
        if (m_selection) {
            for (int category : m_selection->rowsHolding(row.path)) {
                const QColor color = m_selection->at(category).color;
                if (!marks.contains(color))
                    marks.append(color);
            }
        }
        return QVariant::fromValue(marks);
    }
    default:
        return QVariant();
    }
}

QStringList CPictureListModel::categoryNames(const QString& path) const
{
    QStringList names;
    if (!m_selection)
        return names;
    for (int category : m_selection->rowsHolding(path)) {
        const QString name = m_selection->at(category).name.trimmed();
        // A category whose name was cleared is still told apart from the others by its place.
        names << (name.isEmpty() ? tr("第 %1 类").arg(category + 1) : CSelection::shownName(name));
    }
    return names;
}

QString CPictureListModel::accessibleText(int at) const
{
    const Row& row = m_rows.at(at);
    QStringList parts{QFileInfo(row.path).fileName()};
    if (row.folder)
        parts << tr("文件夹");
    else
        parts << QStringLiteral("%1 / %2").arg(at - m_folderCount + 1).arg(pictureCount());
    if (row.tick != 0)
        parts << tr("已勾选");
    const QStringList categories = categoryNames(row.path);
    if (!categories.isEmpty())
        parts << tr("类别：%1").arg(categories.join(tr("、")));
    return parts.join(tr("，"));
}

Qt::ItemFlags CPictureListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled;
}

QString CPictureListModel::pathAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).path : QString();
}

bool CPictureListModel::isFolder(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).folder;
}

bool CPictureListModel::hasThumbnail(int row) const
{
    return row >= 0 && row < m_rows.size() && !m_rows.at(row).thumbnail.isNull();
}

bool CPictureListModel::isLoaded(int row) const
{
    return row >= 0 && row < m_rows.size() && (m_rows.at(row).loaded || m_rows.at(row).gone);
}

bool CPictureListModel::needsThumbnail(int row) const
{
    return row >= 0 && row < m_rows.size() && !m_rows.at(row).gone && m_rows.at(row).thumbnail.isNull();
}

QStringList CPictureListModel::picturePaths() const
{
    QStringList paths;
    paths.reserve(pictureCount());
    for (const Row& row : m_rows) {
        if (!row.folder && !row.gone)
            paths.append(row.path);
    }
    return paths;
}

QImage CPictureListModel::thumbnail(const QString& path) const
{
    const int row = rowOf(path);
    return row >= 0 ? m_rows.at(row).thumbnail : QImage();
}

void CPictureListModel::setThumbnail(const QString& path, const QImage& thumbnail)
{
    const int at = rowOf(path);
    if (at < 0)
        return;
    Row& row = m_rows[at];
    row.loaded = true;
    if (thumbnail.isNull()) {
        if (row.gone)
            return;
        row.gone = true;
        m_removeTimer->start();
        return;
    }
    m_heldBytes -= row.thumbnail.sizeInBytes();
    row.thumbnail = thumbnail;
    m_heldBytes += thumbnail.sizeInBytes();
    m_held.insert(at);
    rowChanged(at, {ThumbnailRole, LoadedRole});
    evictOverBudget();
}

void CPictureListModel::setFacts(const QString& path, const CPictureFacts& facts)
{
    const int at = rowOf(path);
    if (at < 0)
        return;
    m_rows[at].facts = facts;
    rowChanged(at, {Qt::ToolTipRole, Qt::AccessibleDescriptionRole, PixelSizeRole, TakenRole, FileBytesRole,
                    RefusalRole});
}

CPictureFacts CPictureListModel::facts(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).facts : CPictureFacts();
}

void CPictureListModel::setLookalikeCount(const QString& path, int count)
{
    const int at = rowOf(path);
    if (at < 0 || m_rows.at(at).lookalikes == count)
        return;
    m_rows[at].lookalikes = qint16(qBound(1, count, 32767));
    rowChanged(at, {LookalikeCountRole});
}

int CPictureListModel::lookalikeCount(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).lookalikes : 1;
}

void CPictureListModel::setSharpest(const QString& path, bool on)
{
    const int at = rowOf(path);
    if (at < 0 || m_rows.at(at).sharpest == on)
        return;
    m_rows[at].sharpest = on;
    rowChanged(at, {SharpestRole});
}

bool CPictureListModel::isSharpest(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).sharpest;
}

void CPictureListModel::setFocus(int first, int last)
{
    m_focusFirst = qMax(0, first);
    m_focusLast = qMin(last, m_rows.size() - 1);
}

bool CPictureListModel::isTicked(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).tick != 0;
}

void CPictureListModel::setTicked(int row, bool on)
{
    if (row < 0 || row >= m_rows.size() || isTicked(row) == on)
        return;
    m_rows[row].tick = on ? m_nextTick++ : 0;
    m_tickedCount += on ? 1 : -1;
    rowChanged(row, {TickedRole, Qt::AccessibleTextRole});
}

QList<int> CPictureListModel::tickedRows() const
{
    QVector<QPair<quint32, int>> ticked;
    ticked.reserve(m_tickedCount);
    for (int row = 0; row < m_rows.size() && ticked.size() < m_tickedCount; ++row) {
        if (m_rows.at(row).tick != 0)
            ticked.append({m_rows.at(row).tick, row});
    }
    std::sort(ticked.begin(), ticked.end());
    QList<int> rows;
    rows.reserve(ticked.size());
    for (const auto& tick : ticked)
        rows.append(tick.second);
    return rows;
}

void CPictureListModel::clearTicks()
{
    for (int row : tickedRows())
        setTicked(row, false);
}

void CPictureListModel::evictOverBudget()
{
    if (m_heldBytes <= m_budget)
        return;
    // Dropped down to a little under the budget, so that the sort is paid once per batch and not
    // once per arriving thumbnail. Rows on screen are dropped last.
    const int centre = m_focusLast >= m_focusFirst ? (m_focusFirst + m_focusLast) / 2 : 0;
    auto distance = [&](int row) {
        if (row >= m_focusFirst && row <= m_focusLast)
            return 0;
        return qAbs(row - centre);
    };
    QVector<int> held(m_held.cbegin(), m_held.cend());
    std::sort(held.begin(), held.end(), [&](int a, int b) { return distance(a) > distance(b); });
    const qint64 target = m_budget - m_budget / 10;
    for (int row : held) {
        // The screen keeps its thumbnails even over budget: dropping them would only bring the
        // workers back for them at once.
        if (m_heldBytes <= target || distance(row) == 0)
            break;
        Row& evicted = m_rows[row];
        m_heldBytes -= evicted.thumbnail.sizeInBytes();
        evicted.thumbnail = QImage();
        m_held.remove(row);
        rowChanged(row, {ThumbnailRole});
    }
}

void CPictureListModel::removeGoneRows()
{
    // From the end, one contiguous run at a time; the path index is renewed once for all.
    int lowest = -1;
    for (int end = m_rows.size() - 1; end >= 0; --end) {
        if (!m_rows.at(end).gone)
            continue;
        int start = end;
        while (start > 0 && m_rows.at(start - 1).gone)
            --start;
        beginRemoveRows(QModelIndex(), start, end);
        for (int row = start; row <= end; ++row) {
            const Row& goes = m_rows.at(row);
            m_rowOfPath.remove(goes.path);
            if (goes.folder)
                --m_folderCount;
            if (goes.tick != 0)
                --m_tickedCount;
        }
        m_rows.remove(start, end - start + 1);
        lowest = start;
        endRemoveRows();
        end = start;
    }
    if (lowest >= 0) {
        indexRows(lowest);
        // Rows holding thumbnails moved with the removal.
        m_held.clear();
        for (int row = 0; row < m_rows.size(); ++row) {
            if (!m_rows.at(row).thumbnail.isNull())
                m_held.insert(row);
        }
    }
}

void CPictureListModel::indexRows(int from)
{
    for (int row = from; row < m_rows.size(); ++row)
        m_rowOfPath.insert(m_rows.at(row).path, row);
}

void CPictureListModel::rowChanged(int row, const QVector<int>& roles)
{
    const QModelIndex at = index(row);
    emit dataChanged(at, at, roles);
}
