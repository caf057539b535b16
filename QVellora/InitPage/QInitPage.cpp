// SPDX-License-Identifier: MIT
#include "InitPage/QInitPage.h"

#include "Dialogs/QBusyDialog.h"
#include "Dialogs/QUserDialogs.h"
#include "LoadIn/QLoadInDlg.h"
#include "LoadIn/QUpdateImageData.h"
#include "OtherWidget/CCaptionedPixmap.h"
#include "OtherWidget/CSharedPixmap.h"
#include "OtherWidget/QDrawImageButton.h"
#include "Records/CUploadLedger.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardPaths>
#include <QVBoxLayout>

QInitPage::QInitPage(QWidget* parent) : QWidget(parent)
{
    connect(&m_scanThread, &QScanFilesThread::findOnePicture, this, &QInitPage::onThreadScanImage);
    createWidgets();
}

QInitPage::~QInitPage() = default;

void QInitPage::createWidgets()
{
    auto button = [this](const char* picture, const char* caption, const QString& name) {
        auto* made = new QDrawImageButton(
            CCaptionedPixmap::get(QString::fromLatin1(picture), caption, CCaptionedPixmap::Face::StartCard),
            name, this);
        made->setFixedSize(150, 150);
        return made;
    };
    m_scanButton = button(":/image/new_button/select_scan.png",
                          QT_TRANSLATE_NOOP("CCaptionedPixmap", "扫描照片"), tr("选择文件夹扫描照片"));
    m_lastButton = button(":/image/new_button/go_last.png", QT_TRANSLATE_NOOP("CCaptionedPixmap", "继续上次"),
                          tr("继续上次的工作"));
    m_historyButton = button(":/image/new_button/had_scan.png",
                             QT_TRANSLATE_NOOP("CCaptionedPixmap", "历史导出"), tr("浏览已导出的照片"));
    m_updataButton = button(":/image/new_button/updata_net.png",
                            QT_TRANSLATE_NOOP("CCaptionedPixmap", "上传照片"), tr("上传照片"));
    connect(m_scanButton, &QPushButton::clicked, this, &QInitPage::onCheckScanImage);
    connect(m_lastButton, &QPushButton::clicked, this, &QInitPage::onCheckScanLast);
    connect(m_historyButton, &QPushButton::clicked, this, &QInitPage::onCheckViewImage);
    connect(m_updataButton, &QPushButton::clicked, this, &QInitPage::onCheckUpdataNet);

    m_helpLabel = new QLabel(this);
    m_helpLabel->setPixmap(
        *CCaptionedPixmap::get(QStringLiteral(":/image/big_image/customer_help.png"),
                               QT_TRANSLATE_NOOP("CCaptionedPixmap", "客服帮助\n菜单 帮助 → 联系客服"),
                               CCaptionedPixmap::Face::HelpCard));
    m_helpLabel->setFixedSize(241, 78);
    m_helpLabel->setAccessibleName(tr("客服帮助"));

    m_loadInDlg = new QLoadInDlg(this);
    m_updateDlg = new QUpdateImageData(this);
    m_progressDlg = new QBusyDialog(tr("搜索图片"), tr("正在搜索图片，请耐心等待"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(200);
    buttons->setSpacing(30);
    for (QDrawImageButton* each : {m_scanButton, m_lastButton, m_historyButton, m_updataButton})
        buttons->addWidget(each);
    buttons->addStretch(200);

    auto* help = new QHBoxLayout;
    help->addStretch(500);
    help->addWidget(m_helpLabel);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(10);
    layout->addLayout(buttons);
    layout->addStretch(10);
    layout->addLayout(help);
}

void QInitPage::SetPhotoFilter(const CPhotoFilter* filter)
{
    m_filter = filter ? filter : &m_ownFilter;
}

QString QInitPage::StartFolder()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QDir(desktop).exists())
        return desktop;
    return QDir::homePath();
}

void QInitPage::CheckScanImage()
{
    const QString folder = QUserDialogs::chooseFolder(this, tr("扫描目录"), StartFolder());
    if (folder.isEmpty() || folder == QLatin1String("\\"))
        return;

    // A search still running is stopped and joined first, so that its result never arrives.
    m_scanThread.Stop();
    m_scanThread.SetScanPath(folder);
    m_scanThread.SetFilter(*m_filter);
    m_scanThread.start();

    m_progressDlg->show();
    emit sigPushScanPath(folder);
}

void QInitPage::onThreadScanImage(QStringList qstrPictureList)
{
    m_progressDlg->hide();
    emit sigPushScanImage(qstrPictureList);
}

void QInitPage::onCheckScanImage()
{
    CheckScanImage();
}

void QInitPage::onCheckScanLast()
{
    emit sigPushLastButton();
}

void QInitPage::onCheckViewImage()
{
    emit sigPushViewImage();
}

void QInitPage::onCheckUpdataNet()
{
    ++m_updataClicks;
    if (m_userId.isEmpty())
        QUserDialogs::exec(m_loadInDlg);
    m_userId = m_loadInDlg->GetUserID();
    if (m_userId.isEmpty())
        return;

    emit sigZovID(m_userId);
    m_updateDlg->SetUserID(m_userId);
    m_updateDlg->OfferResume();
    QUserDialogs::exec(m_updateDlg);
}

void QInitPage::OfferUploadResume()
{
    // Uploads left unfinished by an earlier run continue under the user they were made for; the
    // service knows the user by the ID alone.
    const QHash<QString, int> users = CUploadLedger::usersWithUnfinished();
    for (auto it = users.constBegin(); it != users.constEnd(); ++it) {
        if (m_updateDlg->isUploading())
            return;
        m_updateDlg->SetUserID(it.key());
        if (m_updateDlg->OfferResume()) {
            QUserDialogs::exec(m_updateDlg);
            return;
        }
    }
}
