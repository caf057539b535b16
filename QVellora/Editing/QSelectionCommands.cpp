// SPDX-License-Identifier: MIT
#include "Editing/QSelectionCommands.h"

#include "Editing/QSelectionEditor.h"
#include "Pictures/CPrintSize.h"
#include "Selection/CSelection.h"

#include <QCoreApplication>

namespace {

// The steps are no QObjects: their texts are translated in this context.
class QSelectionCommands
{
    Q_DECLARE_TR_FUNCTIONS(QSelectionCommands)
};

} // namespace

QString categoryTitle(const CSelection* selection, int row)
{
    const QString name = selection->at(row).name.trimmed();
    return name.isEmpty() || name == QSelectionEditor::DefaultName()
               ? QSelectionCommands::tr("类别 %1").arg(row + 1)
               : name;
}

QAddPicturesCommand::QAddPicturesCommand(CSelection* selection, int row, const QStringList& paths,
                                         QUndoCommand* parent)
    : QUndoCommand(parent), m_selection(selection), m_row(row), m_paths(paths)
{
    setText(QSelectionCommands::tr("放入 %1 (%2 张)").arg(categoryTitle(selection, row)).arg(paths.size()));
}

void QAddPicturesCommand::redo()
{
    const int before = m_selection->count();
    m_selection->addPictures(m_row, m_paths);
    m_grownRows = m_selection->count() - before;
}

void QAddPicturesCommand::undo()
{
    m_selection->removePictures(m_row, m_paths);
    for (int i = 0; i < m_grownRows; ++i)
        m_selection->removeLastCategory();
}

QRemovePicturesCommand::QRemovePicturesCommand(CSelection* selection, int row, const QStringList& paths,
                                               bool emptied, QUndoCommand* parent)
    : QUndoCommand(parent), m_selection(selection), m_row(row), m_paths(paths)
{
    const QString title = categoryTitle(selection, row);
    setText(emptied ? QSelectionCommands::tr("清空 %1").arg(title)
                    : QSelectionCommands::tr("移出 %1 (%2 张)").arg(title).arg(paths.size()));
}

void QRemovePicturesCommand::redo()
{
    m_selection->removePictures(m_row, m_paths);
}

void QRemovePicturesCommand::undo()
{
    m_selection->addPictures(m_row, m_paths);
}

QAddCategoryCommand::QAddCategoryCommand(CSelection* selection, const QString& name, QUndoCommand* parent)
    : QUndoCommand(QSelectionCommands::tr("新建类别"), parent), m_selection(selection), m_name(name)
{
}

void QAddCategoryCommand::redo()
{
    m_row = m_selection->addCategory(m_name);
}

void QAddCategoryCommand::undo()
{
    // Only while it is still the bottom row: the steps after it have been undone first.
    if (m_row == m_selection->count() - 1)
        m_selection->removeLastCategory();
}

QRenameCommand::QRenameCommand(CSelection* selection, int row, const QString& oldName, const QString& newName,
                               QUndoCommand* parent)
    : QUndoCommand(parent), m_selection(selection), m_row(row), m_oldName(oldName), m_newName(newName)
{
    setText(QSelectionCommands::tr("重命名 %1").arg(QSelectionEditor::shownName(newName)));
}

void QRenameCommand::redo()
{
    m_selection->rename(m_row, m_newName);
}

void QRenameCommand::undo()
{
    m_selection->rename(m_row, m_oldName);
}

bool QRenameCommand::mergeWith(const QUndoCommand* other)
{
    // Typing or erasing at the end of the name continues the step; a name picked from the list,
    // or typed over a selected one, starts a new one.
    const auto* next = static_cast<const QRenameCommand*>(other);
    if (next->m_row != m_row ||
        !(next->m_newName.startsWith(m_newName) || m_newName.startsWith(next->m_newName)))
        return false;
    m_newName = next->m_newName;
    setText(next->text());
    // Typed back to where it started: no step is left.
    setObsolete(m_newName == m_oldName);
    return true;
}

QPrintSizeCommand::QPrintSizeCommand(CSelection* selection, int row, const QString& oldKey,
                                     const QString& newKey, QUndoCommand* parent)
    : QUndoCommand(parent), m_selection(selection), m_row(row), m_oldKey(oldKey), m_newKey(newKey)
{
    const QString name = selection->at(row).name;
    setText(QSelectionCommands::tr("冲印尺寸 %1 %2")
                .arg(name.isEmpty() ? QSelectionCommands::tr("类别 %1").arg(row + 1)
                                    : QSelectionEditor::shownName(name),
                     CPrintSize::byKey(newKey).label()));
}

void QPrintSizeCommand::redo()
{
    m_selection->setPrintSize(m_row, m_newKey);
}

void QPrintSizeCommand::undo()
{
    m_selection->setPrintSize(m_row, m_oldKey);
}
