// SPDX-License-Identifier: MIT
#include "LoadIn/QUploadFailureList.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QUploadFailureList::QUploadFailureList(QWidget* parent) : QWidget(parent)
{
    m_caption = new QLabel;
    m_caption->setObjectName(QStringLiteral("failedCaption"));
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("failedList"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({tr("照片"), tr("原因")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 220);
    m_retryButton = new QPushButton(tr("重试失败的照片"));
    m_retryButton->setObjectName(QStringLiteral("retryFailedButton"));
    m_openButton = new QPushButton(tr("打开所在文件夹"));
    m_openButton->setObjectName(QStringLiteral("openFailedFolderButton"));
    connect(m_retryButton, &QPushButton::clicked, this, &QUploadFailureList::retryRequested);
    connect(m_openButton, &QPushButton::clicked, this, [this] { emit openFolderRequested(folderToOpen()); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_retryButton);
    buttons->addWidget(m_openButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

void QUploadFailureList::setFailures(const QList<CUploadFailure>& failures)
{
    m_list->clear();
    m_caption->setText(tr("以下 %1 张照片没有上传成功：").arg(failures.size()));
    for (const CUploadFailure& failure : failures) {
        auto* row = new QTreeWidgetItem(m_list, {QFileInfo(failure.path).fileName(), failure.reason});
        row->setToolTip(0, QDir::toNativeSeparators(failure.path));
        row->setToolTip(1, failure.reason);
        row->setData(0, Qt::UserRole, failure.path);
    }
    setVisible(!failures.isEmpty());
}

QString QUploadFailureList::folderToOpen() const
{
    QTreeWidgetItem* row = m_list->currentItem() ? m_list->currentItem() : m_list->topLevelItem(0);
    return row ? QFileInfo(row->data(0, Qt::UserRole).toString()).absolutePath() : QString();
}
