// SPDX-License-Identifier: MIT
#include "Dialogs/QShortcutsDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

QShortcutsDlg::QShortcutsDlg(const QStringList& keys, QWidget* parent)
    : QDialog(parent), m_table(new QTableWidget(keys.size(), 2, this))
{
    setWindowTitle(tr("键盘快捷键"));
    m_table->setHorizontalHeaderLabels({tr("按键"), tr("作用")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < keys.size(); ++row) {
        const QStringList parts = keys.at(row).split(QLatin1Char('\t'));
        auto* key = new QTableWidgetItem(parts.value(0));
        const QString meaning = parts.value(1);
        if (meaning.isEmpty()) {
            QFont heading = key->font();
            heading.setBold(true);
            key->setFont(heading);
        }
        m_table->setItem(row, 0, key);
        m_table->setItem(row, 1, new QTableWidgetItem(meaning));
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(560, 520);
}
