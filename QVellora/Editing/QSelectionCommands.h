// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QUndoCommand>

class CSelection;

// The undoable changes of the user's selection, one class per kind of change. Each acts on the
// selection only in redo() and undo(), so the stack's first redo() is the change itself, and its
// text says what it did ("放入 海边 (3 张)"); the edit menu puts "撤销 " or "重做 " before it.

// Pictures put into a category. The free-row rule may add a category while they go in; undo
// takes that empty category away again, and redo lets the rule add it once more.
class QAddPicturesCommand : public QUndoCommand
{
public:
    // paths: only pictures the category does not hold yet.
    QAddPicturesCommand(CSelection* selection, int row, const QStringList& paths,
                        QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    CSelection* m_selection;
    int m_row;
    QStringList m_paths;
    int m_grownRows = 0;
};

// Pictures taken out of a category (emptied is taking out all it holds). Undo puts them back at
// the category's end.
class QRemovePicturesCommand : public QUndoCommand
{
public:
    // paths: only pictures the category holds.
    QRemovePicturesCommand(CSelection* selection, int row, const QStringList& paths, bool emptied,
                           QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    CSelection* m_selection;
    int m_row;
    QStringList m_paths;
};

// A new category at the bottom.
class QAddCategoryCommand : public QUndoCommand
{
public:
    QAddCategoryCommand(CSelection* selection, const QString& name, QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int row() const { return m_row; }

private:
    CSelection* m_selection;
    QString m_name;
    int m_row = -1;
};

// A category renamed. Typing a name renames it at every key; the renames of one row that follow
// each other while the name only grows or shrinks at its end merge into one step, so undo goes
// back to the name before the typing.
class QRenameCommand : public QUndoCommand
{
public:
    QRenameCommand(CSelection* selection, int row, const QString& oldName, const QString& newName,
                   QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;
    int id() const override { return 20; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    CSelection* m_selection;
    int m_row;
    QString m_oldName;
    QString m_newName;
};

// How the menus name a category: its name, or its place when it has none.
QString categoryTitle(const CSelection* selection, int row);

// A category's print size changed.
class QPrintSizeCommand : public QUndoCommand
{
public:
    QPrintSizeCommand(CSelection* selection, int row, const QString& oldKey, const QString& newKey,
                      QUndoCommand* parent = nullptr);
    void redo() override;
    void undo() override;

private:
    CSelection* m_selection;
    int m_row;
    QString m_oldKey;
    QString m_newKey;
};
