// SPDX-License-Identifier: MIT
#include "EditPage/QCullingKeys.h"

#include "PhotoView/QPhotoViewImageDlg.h"
#include "PhotoView/QPhotoViewImageWidget.h"
#include "PhotoView/QPhotoViewListWidget.h"

#include <QAction>
#include <QKeyEvent>
#include <QWheelEvent>

QCullingKeys::QCullingKeys(QPhotoViewListWidget* grid, QObject* parent)
    : QObject(parent), m_grid(grid), m_viewer(grid->GetViewImageDlg()),
      m_viewerImage(grid->GetViewImageDlg()->GetImageWidget())
{
    m_grid->installEventFilter(this);
    m_grid->GetViewImageDlg()->installEventFilter(this);
    m_grid->GetViewImageDlg()->GetImageWidget()->installEventFilter(this);
    makeActions();
}

int QCullingKeys::categoryKey(const QKeyEvent* event, bool* taking)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return -1;
    *taking = modifiers == Qt::ShiftModifier;
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key - Qt::Key_0;
    if (!*taking)
        return -1;
    static const int usSymbols[] = {
        Qt::Key_ParenRight, Qt::Key_Exclam,      Qt::Key_At,        Qt::Key_NumberSign, Qt::Key_Dollar,
        Qt::Key_Percent,    Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,   Qt::Key_ParenLeft};
    for (int digit = 0; digit < 10; ++digit) {
        if (key == usSymbols[digit])
            return digit;
    }
    // Other layouts: the digit row's keys, 1 to 9 and then 0.
    const quint32 scan = event->nativeScanCode();
#if defined(Q_OS_WIN)
    if (scan >= 0x02 && scan <= 0x0B)
        return int(scan - 0x01) % 10;
#else
    if (scan >= 10 && scan <= 19)
        return int(scan - 9) % 10;
#endif
    return -1;
}

void QCullingKeys::makeActions()
{
    connect(addAction(m_gridActions, tr("勾选全部照片"), {QKeySequence(Qt::CTRL | Qt::Key_A)}),
            &QAction::triggered, m_grid, &QPhotoViewListWidget::TickAll);
    connect(addAction(m_gridActions, tr("取消全部勾选"), {QKeySequence(Qt::Key_Escape)}), &QAction::triggered,
            m_grid, &QPhotoViewListWidget::ClearTicks);
    connect(addAction(m_gridActions, tr("勾选或取消勾选当前照片"), {QKeySequence(Qt::Key_Space)}),
            &QAction::triggered, this, [this] { m_grid->ToggleTick(m_grid->GetCurrentRow()); });
    connect(
        addAction(m_gridActions, tr("看大图"), {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}),
        &QAction::triggered, m_grid, &QPhotoViewListWidget::onShowImageView);
    for (int digit = 1; digit <= 9; ++digit) {
        connect(
            addAction(m_gridActions, tr("放入第 %1 个类别").arg(digit), {QKeySequence(Qt::Key_0 + digit)}),
            &QAction::triggered, this, [this, digit] {
                const QStringList paths = gridTargets();
                if (!paths.isEmpty())
                    emit putRequested(digit - 1, paths);
            });
    }
    for (int digit = 1; digit <= 9; ++digit) {
        connect(addAction(m_gridActions, tr("从第 %1 个类别移出").arg(digit),
                          {QKeySequence(Qt::SHIFT | (Qt::Key_0 + digit))}),
                &QAction::triggered, this, [this, digit] {
                    const QStringList paths = gridTargets();
                    if (!paths.isEmpty())
                        emit takeRequested(digit - 1, paths);
                });
    }
    connect(addAction(m_gridActions, tr("从所有类别移出"), {QKeySequence(Qt::Key_0)}), &QAction::triggered,
            this, [this] {
                const QStringList paths = gridTargets();
                if (!paths.isEmpty())
                    emit takeAllRequested(paths);
            });
    connect(addAction(m_viewerActions, tr("上一张"), {QKeySequence(Qt::Key_Left)}), &QAction::triggered,
            m_grid, &QPhotoViewListWidget::onGetPreImage);
    connect(addAction(m_viewerActions, tr("下一张"), {QKeySequence(Qt::Key_Right)}), &QAction::triggered,
            m_grid, &QPhotoViewListWidget::onGetNextImage);
}

QAction* QCullingKeys::addAction(QList<QAction*>& list, const QString& text, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    list.append(action);
    return action;
}

QString QCullingKeys::shortcutText(const QAction* action)
{
    QStringList keys;
    for (const QKeySequence& key : action->shortcuts())
        keys << key.toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

QStringList QCullingKeys::keyList() const
{
    QStringList rows{tr("照片区\t"), tr("方向键\t移动当前照片"), tr("PageUp / PageDown\t翻页"),
                     tr("Home / End\t第一张 / 最后一张")};
    for (const QAction* action : m_gridActions)
        rows << shortcutText(action) + QLatin1Char('\t') + action->text();
    rows << tr("大图\t");
    for (const QAction* action : m_viewerActions)
        rows << shortcutText(action) + QLatin1Char('\t') + action->text();
    rows << tr("Ctrl+滚轮\t上一张 / 下一张") << tr("1 – 9，Shift+1 – 9，0\t同照片区，作用于显示的照片");
    return rows;
}

bool QCullingKeys::eventFilter(QObject* watched, QEvent* event)
{
    // The grid and its viewer also send events while they are destroyed: nothing of theirs is
    // called for any other event than a key or the wheel.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_grid)
            return gridKey(key);
        if (watched == m_viewer)
            return viewerKey(key);
    } else if (event->type() == QEvent::Wheel && watched == m_viewerImage) {
        return viewerWheel(static_cast<QWheelEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

bool QCullingKeys::gridKey(QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::ControlModifier && key == Qt::Key_A) {
        m_grid->TickAll();
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key) {
    // Left and right go through the grid's order, from the end of a line to the next one.
    case Qt::Key_Left:
        m_grid->SetCurrentTile(qMax(m_grid->GetCurrentRow() - 1, 0));
        return true;
    case Qt::Key_Right:
        m_grid->SetCurrentTile(qMin(m_grid->GetCurrentRow() + 1, m_grid->count() - 1));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        m_grid->MoveCurrentTile(Qt::Key(key));
        return true;
    case Qt::Key_Home:
        m_grid->SetCurrentTile(0);
        return true;
    case Qt::Key_End:
        m_grid->SetCurrentTile(m_grid->count() - 1);
        return true;
    case Qt::Key_Space:
        m_grid->ToggleTick(m_grid->GetCurrentRow());
        return true;
    case Qt::Key_Escape:
        m_grid->ClearTicks();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_grid->onShowImageView();
        return true;
    default:
        return sortKey(event, gridTargets());
    }
}

bool QCullingKeys::viewerKey(QKeyEvent* event)
{
    // The window's undo keys do not reach a modal viewer.
    const int combo = int(event->modifiers() & ~Qt::KeypadModifier) | event->key();
    if (combo == int(Qt::CTRL | Qt::Key_Z)) {
        emit undoRequested();
        return true;
    }
    if (combo == int(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) || combo == int(Qt::CTRL | Qt::Key_Y)) {
        emit redoRequested();
        return true;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Left) {
        m_grid->onGetPreImage();
        return true;
    }
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Right) {
        m_grid->onGetNextImage();
        return true;
    }
    const QString shown = m_grid->GetViewImageDlg()->GetImagePath();
    return !shown.isEmpty() && sortKey(event, {shown});
}

bool QCullingKeys::viewerWheel(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (!(event->modifiers() & Qt::ControlModifier) || delta == 0)
        return false;
    if (delta > 0)
        m_grid->onGetPreImage();
    else
        m_grid->onGetNextImage();
    return true;
}

bool QCullingKeys::sortKey(const QKeyEvent* event, const QStringList& paths)
{
    bool taking = false;
    const int digit = categoryKey(event, &taking);
    if (digit < 0)
        return false;
    if (paths.isEmpty())
        return true;
    if (digit == 0)
        emit takeAllRequested(paths);
    else if (taking)
        emit takeRequested(digit - 1, paths);
    else
        emit putRequested(digit - 1, paths);
    return true;
}

QStringList QCullingKeys::gridTargets() const
{
    const QStringList ticked = m_grid->GetCheckedPaths();
    if (!ticked.isEmpty())
        return ticked;
    const QString current = m_grid->PathAt(m_grid->GetCurrentRow());
    if (current.isEmpty())
        return {};
    return {current};
}
