// SPDX-License-Identifier: MIT
#pragma once

#include "Service/CUploadCounts.h"

#include <QList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

// The pictures of a batch that did not arrive, by name with the reason, and what the user can do
// about them: try those again, or open the folder that holds them (the selected one's, else the
// first's). Shown by the upload dialog only while its latest batch has failures.
class QUploadFailureList : public QWidget
{
    Q_OBJECT
public:
    explicit QUploadFailureList(QWidget* parent = nullptr);

    void setFailures(const QList<CUploadFailure>& failures);
    // The folder the open button opens.
    QString folderToOpen() const;

signals:
    void retryRequested();
    void openFolderRequested(const QString& folder);

private:
    QLabel* m_caption = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_retryButton = nullptr;
    QPushButton* m_openButton = nullptr;
};
