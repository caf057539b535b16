// SPDX-License-Identifier: MIT
#include "Dialogs/QShowHelpDlg.h"

#include "OtherWidget/CSharedPixmap.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

QShowHelpDlg::QShowHelpDlg(QWidget* parent)
    : QDialog(parent), m_caption(new QLabel(tr("照片拖拽操作图文教程："))), m_picture(new QLabel),
      m_scrollArea(new QScrollArea)
{
    setWindowTitle(tr("新手指引"));
    resize(1000, 800);
    m_picture->setPixmap(*CSharedPixmap::get(QStringLiteral(":/image/big_image/show_help.jpg")));
    m_picture->resize(928, 1680);
    m_scrollArea->setWidget(m_picture);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(20);
    layout->addWidget(m_caption);
    layout->addWidget(m_scrollArea);
}
