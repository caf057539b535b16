// SPDX-License-Identifier: MIT
#include "Editing/QSelectionEditor.h"

#include "Editing/QSelectionCommands.h"
#include "Selection/CSelection.h"

#include <QSet>
#include <QUndoStack>

QSelectionEditor::QSelectionEditor(CSelection* selection, const QString& newName, QObject* parent)
    : QObject(parent), m_selection(selection), m_stack(new QUndoStack(this)), m_newName(newName)
{
}

QString QSelectionEditor::DefaultName()
{
    return CSelection::defaultName();
}

QString QSelectionEditor::shownName(const QString& name)
{
    return CSelection::shownName(name);
}

QString QSelectionEditor::storedName(const QString& shown)
{
    return CSelection::storedName(shown);
}

namespace {
// paths in their order, each once, as far as keep says so. A set, not the list, tells what was
// taken: a whole roll of ten thousand moves at once.
template <typename Keep> QStringList distinct(const QStringList& paths, Keep keep)
{
    QStringList taken;
    QSet<QString> seen;
    for (const QString& path : paths) {
        if (keep(path) && !seen.contains(path)) {
            seen.insert(path);
            taken.append(path);
        }
    }
    return taken;
}
} // namespace

void QSelectionEditor::putInto(int row, const QStringList& paths)
{
    const QStringList fresh = distinct(
        paths, [&](const QString& path) { return !path.isEmpty() && !m_selection->contains(row, path); });
    if (fresh.isEmpty() || row < 0)
        return;
    if (row < m_selection->count()) {
        m_stack->push(new QAddPicturesCommand(m_selection, row, fresh));
        return;
    }
    if (row > m_selection->count() || m_selection->filledRows().size() < m_selection->count())
        return;
    auto* step = new QUndoCommand;
    new QAddCategoryCommand(m_selection, m_newName, step);
    step->setText((new QAddPicturesCommand(m_selection, row, fresh, step))->text());
    m_stack->push(step);
}

void QSelectionEditor::takeOutOf(int row, const QStringList& paths)
{
    const QStringList held =
        distinct(paths, [&](const QString& path) { return m_selection->contains(row, path); });
    if (!held.isEmpty())
        m_stack->push(new QRemovePicturesCommand(m_selection, row, held,
                                                 held.size() == m_selection->at(row).pictures.size()));
}

void QSelectionEditor::takeOutOfAll(const QStringList& paths)
{
    auto* step = new QUndoCommand;
    int taken = 0;
    for (int row = 0; row < m_selection->count(); ++row) {
        const QStringList held =
            distinct(paths, [&](const QString& path) { return m_selection->contains(row, path); });
        if (held.isEmpty())
            continue;
        new QRemovePicturesCommand(m_selection, row, held, false, step);
        taken += held.size();
    }
    if (step->childCount() == 0) {
        delete step;
        return;
    }
    step->setText(step->childCount() == 1 ? step->child(0)->text() : tr("移出 全部类别 (%1 张)").arg(taken));
    m_stack->push(step);
}

void QSelectionEditor::addCategory()
{
    m_stack->push(new QAddCategoryCommand(m_selection, m_newName));
}

void QSelectionEditor::rename(int row, const QString& name)
{
    if (row < 0 || row >= m_selection->count() || m_selection->at(row).name == name)
        return;
    m_stack->push(new QRenameCommand(m_selection, row, m_selection->at(row).name, name));
}

void QSelectionEditor::setPrintSize(int row, const QString& key)
{
    if (row < 0 || row >= m_selection->count() || m_selection->at(row).printSize == key)
        return;
    m_stack->push(new QPrintSizeCommand(m_selection, row, m_selection->at(row).printSize, key));
}

void QSelectionEditor::forgetSteps()
{
    m_stack->clear();
}
