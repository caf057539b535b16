// SPDX-License-Identifier: MIT
#include "Dialogs/QBusyDialog.h"

QBusyDialog::QBusyDialog(const QString& title, const QString& label, QWidget* parent)
    : QProgressDialog(label, QString(), 0, 0, parent,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setCancelButton(nullptr);
    setMinimumWidth(500);
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    setAutoClose(false);
    setAutoReset(false);
    // A progress dialog shows itself a few seconds after construction on its own; this one is
    // shown only while a run is in progress.
    reset();
    hide();
}
