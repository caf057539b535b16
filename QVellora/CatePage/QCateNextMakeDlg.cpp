// SPDX-License-Identifier: MIT
#include "CatePage/QCateNextMakeDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

QCateNextMakeDlg::QCateNextMakeDlg(QWidget* parent) : QDialog(parent), m_answer(QStringLiteral("满意"))
{
    setWindowTitle(tr("用户调查"));
    resize(500, 400);
    createWidgets();

    // clicked, not toggled: a click on the radio already chosen still replaces a typed answer.
    connect(m_goodRadio, &QRadioButton::clicked, this, &QCateNextMakeDlg::onCheckGoodRadio);
    connect(m_notGoodRadio, &QRadioButton::clicked, this, &QCateNextMakeDlg::onCheckNotGoodRadio);
    connect(m_otherText, &QTextEdit::textChanged, this, &QCateNextMakeDlg::onChangeOtherText);
    connect(m_submitBackButton, &QPushButton::clicked, this, &QCateNextMakeDlg::onSubmitBack);
    connect(m_submitCloseButton, &QPushButton::clicked, this, &QCateNextMakeDlg::onSubmitClose);
}

void QCateNextMakeDlg::createWidgets()
{
    m_question = new QLabel(tr("您对软件的使用是否感到满意："));
    m_goodRadio = new QRadioButton(tr("满意"));
    m_goodRadio->setObjectName(QStringLiteral("goodRadio"));
    m_goodRadio->setChecked(true);
    m_notGoodRadio = new QRadioButton(tr("不满意"));
    m_notGoodRadio->setObjectName(QStringLiteral("notGoodRadio"));
    m_otherLabel = new QLabel(tr("其他："));
    m_otherText = new QTextEdit;
    m_otherText->setObjectName(QStringLiteral("otherText"));
    m_otherText->setMinimumHeight(150);
    m_submitBackButton = new QPushButton(tr("提交并返回"));
    m_submitBackButton->setObjectName(QStringLiteral("submitBackButton"));
    m_submitBackButton->setFixedSize(100, 30);
    m_submitCloseButton = new QPushButton(tr("提交后关闭软件"));
    m_submitCloseButton->setObjectName(QStringLiteral("submitCloseButton"));
    m_submitCloseButton->setFixedSize(100, 30);
    m_contactLabel = new QLabel(tr("您的联系方式:"));
    m_emailLabel = new QLabel(tr("电子邮箱："));
    m_qqLabel = new QLabel(tr("QQ号码：  "));
    m_emailEdit = new QLineEdit;
    m_emailEdit->setObjectName(QStringLiteral("emailEdit"));
    m_emailEdit->setMaximumWidth(200);
    m_qqEdit = new QLineEdit;
    m_qqEdit->setObjectName(QStringLiteral("qqEdit"));
    m_qqEdit->setMaximumWidth(200);

    auto* questions = new QVBoxLayout;
    questions->setSpacing(10);
    questions->addWidget(m_question);
    questions->addWidget(m_goodRadio);
    questions->addWidget(m_notGoodRadio);
    questions->addWidget(m_otherLabel);
    questions->addWidget(m_otherText);
    questions->addWidget(m_contactLabel);
    auto* emailRow = new QHBoxLayout;
    emailRow->addWidget(m_emailLabel);
    emailRow->addWidget(m_emailEdit);
    emailRow->addStretch(200);
    auto* qqRow = new QHBoxLayout;
    qqRow->addWidget(m_qqLabel);
    qqRow->addWidget(m_qqEdit);
    qqRow->addStretch(200);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(20);
    buttonRow->addWidget(m_submitBackButton);
    buttonRow->addStretch(50);
    buttonRow->addWidget(m_submitCloseButton);
    buttonRow->addStretch(20);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(questions);
    layout->addLayout(emailRow);
    layout->addLayout(qqRow);
    layout->addLayout(buttonRow);
}

QString QCateNextMakeDlg::GetSubmitText()
{
    m_email = m_emailEdit->text();
    m_qq = m_qqEdit->text();
    return m_answer + m_email + m_qq;
}

void QCateNextMakeDlg::onCheckGoodRadio()
{
    m_answer = QStringLiteral("满意");
}

void QCateNextMakeDlg::onCheckNotGoodRadio()
{
    m_answer = QStringLiteral("不满意");
}

void QCateNextMakeDlg::onChangeOtherText()
{
    m_answer = m_otherText->toPlainText();
}

void QCateNextMakeDlg::onSubmitBack()
{
    close();
}

void QCateNextMakeDlg::onSubmitClose()
{
    close();
    emit sigSubmitCloseSoft();
}
