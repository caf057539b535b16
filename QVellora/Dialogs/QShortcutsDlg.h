// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

class QTableWidget;

// The help menu's list of keys: a two-column table of key and meaning. A line without a meaning
// heads a group.
class QShortcutsDlg : public QDialog
{
    Q_OBJECT
public:
    // keys: "key\tmeaning" per line.
    explicit QShortcutsDlg(const QStringList& keys, QWidget* parent = nullptr);

    QTableWidget* GetTable() const { return m_table; }

private:
    QTableWidget* m_table;
};
