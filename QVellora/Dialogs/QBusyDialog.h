// SPDX-License-Identifier: MIT
#pragma once

#include <QProgressDialog>

// The wait dialog shown while a worker runs: a busy indicator without percentage, no cancel
// button and no close button, application-modal. It is shown with show() when the run starts and
// hidden from the run's result slot, so the worker's answer must always come (the searches answer
// even for a missing folder). Nothing shows it behind the owner's back.
class QBusyDialog : public QProgressDialog
{
    Q_OBJECT
public:
    QBusyDialog(const QString& title, const QString& label, QWidget* parent = nullptr);
};
