// SPDX-License-Identifier: MIT
#include "QSignInDlg.h"

#include "CAccountAnswer.h"
#include "CFormBody.h"
#include "CServiceEndpoints.h"
#include "LoadIn/QCentredRow.h"
#include "LoadIn/QNoticeBox.h"

#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QVBoxLayout>

QSignInDlg::QSignInDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("注册"));
    resize(300, 200);
    createWidgets();

    m_networkManager = new QNetworkAccessManager(this);
    connect(m_networkManager, &QNetworkAccessManager::finished, this, &QSignInDlg::replyFinished);
    connect(m_signButton, &QPushButton::clicked, this, &QSignInDlg::onCheckSignButton);
    connect(m_cancelButton, &QPushButton::clicked, this, &QSignInDlg::onCheckCancelButton);
}

void QSignInDlg::createWidgets()
{
    new QVBoxLayout(this);
    m_userNameEdit = addField(QStringLiteral("  用户名："), QStringLiteral("userNameEdit"), false);
    m_nicknameEdit = addField(QStringLiteral("    昵称："), QStringLiteral("nicknameEdit"), false);
    m_passwordEdit = addField(QStringLiteral("    密码："), QStringLiteral("passwordEdit"), true);
    m_confirmEdit = addField(QStringLiteral("确认密码："), QStringLiteral("confirmEdit"), true);
    m_signButton = new QPushButton(QStringLiteral("注册"));
    m_signButton->setObjectName(QStringLiteral("signButton"));
    m_cancelButton = new QPushButton(QStringLiteral("关闭"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    static_cast<QVBoxLayout*>(layout())->addLayout(QCentredRow::make({m_signButton, m_cancelButton}));
}

QLineEdit* QSignInDlg::addField(const QString& caption, const QString& objectName, bool secret)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setMaximumWidth(100);
    if (secret)
        edit->setEchoMode(QLineEdit::Password);
    static_cast<QVBoxLayout*>(layout())->addLayout(QCentredRow::make({new QLabel(caption), edit}));
    return edit;
}

void QSignInDlg::onCheckSignButton()
{
    // The service checks the fields; the dialog sends them as they are.
    CFormBody form;
    form.add(QStringLiteral("username"), m_userNameEdit->text())
        .add(QStringLiteral("nickname"), m_nicknameEdit->text())
        .add(QStringLiteral("password"), m_passwordEdit->text())
        .add(QStringLiteral("re_password"), m_confirmEdit->text());
    m_reply = m_networkManager->post(form.request(CServiceEndpoints::registration()), form.toByteArray());
    connect(m_reply, &QNetworkReply::errorOccurred, this, &QSignInDlg::upLoadError);
    connect(m_reply, &QNetworkReply::uploadProgress, this, &QSignInDlg::OnUploadProgress);
}

void QSignInDlg::onCheckCancelButton()
{
    close();
}

void QSignInDlg::replyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const CAccountAnswer answer = CAccountAnswer::fromReply(reply);
    qDebug() << "注册: " << answer.msg() << answer.zovid() << answer.error() << reply->error();
    if (!answer.registrationSucceeded()) {
        QNoticeBox::about(this, answer.failureText(QStringLiteral("注册失败，请检查网络后重试")));
        return;
    }
    const QString text = answer.msg().isEmpty() ? QStringLiteral("注册成功") : answer.msg();
    connect(QNoticeBox::about(this, text), &QDialog::finished, this, &QDialog::accept);
}

void QSignInDlg::upLoadError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "register upLoadError" << errorCode;
}

void QSignInDlg::OnUploadProgress(qint64 bytesSent, qint64 bytesTotal)
{
    qDebug() << "register OnUploadProgress" << bytesSent << bytesTotal;
}
