// SPDX-License-Identifier: MIT
#include "PhotoView/QPhotoViewImageDlg.h"

#include "OtherWidget/CSharedPixmap.h"
#include "PhotoView/QComprareImageDlg.h"
#include "PhotoView/QPhotoViewImageWidget.h"
#include "Pictures/CImageReading.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// A single-precision 0.1 added to the double zoom: both the step and the lower bound are that
// float's value, so the tenth step out from 1.0 lands on the bound instead of near zero.
static constexpr float kZoomStep = 0.1f;
static constexpr double kMaxZoom = 10.0;

QPhotoViewImageDlg::QPhotoViewImageDlg(QWidget* parent)
    : QDialog(parent), m_marksLabel(new QLabel(this)),
      m_nameLabel(new QLabel(QStringLiteral("2014宝贝一岁"), this)),
      m_timeLabel(new QLabel(QStringLiteral("2014/4/11 11:17:09"), this)),
      m_sizeLabel(new QLabel(tr("%1 x %2 像素").arg(1920).arg(1040), this)),
      m_imageWidget(new QPhotoViewImageWidget(this)), m_compareDlg(std::make_unique<QComprareImageDlg>())
{
    resize(800, 600);
    setWindowFlags(Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);

    m_nameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_timeLabel->setObjectName(QStringLiteral("timeLabel"));
    m_sizeLabel->setObjectName(QStringLiteral("sizeLabel"));
    m_marksLabel->setObjectName(QStringLiteral("marksLabel"));
    m_marksLabel->setTextFormat(Qt::RichText);
    auto* labels = new QHBoxLayout;
    labels->addWidget(m_marksLabel);
    labels->addStretch(300);
    for (QLabel* label : {m_nameLabel, m_timeLabel, m_sizeLabel}) {
        label->setMaximumHeight(25);
        labels->addWidget(label);
    }
    labels->addStretch(300);

    m_imageWidget->resize(800, 750);
    m_imageWidget->setMinimumHeight(650);

    const QString icons = QStringLiteral(":/image/view_dlg_icon/");
    CreateButton("fullScreenButton", icons + "full_screen.png", &QPhotoViewImageDlg::onCheckFullScreen);
    CreateButton("smallButton", icons + "show_small.png", &QPhotoViewImageDlg::onCheckSmallButton);
    CreateButton("maxButton", icons + "show_max.png", &QPhotoViewImageDlg::onCheckMaxButton);
    CreateButton("preButton", icons + "pre_image.png", &QPhotoViewImageDlg::onCheckPreImage);
    CreateButton("nextButton", icons + "next_image.png", &QPhotoViewImageDlg::onCheckNextImage);
    CreateButton("left90Button", icons + "left_90_degree.png", &QPhotoViewImageDlg::onCheckLeft90Degree);
    CreateButton("right90Button", icons + "right_90_degree.png", &QPhotoViewImageDlg::onCheckRight90Degree);
    CreateButton("compareButton", icons + "compare_image.png", &QPhotoViewImageDlg::onCheckCompare);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(200);
    for (QPushButton* button : qAsConst(m_buttons))
        buttons->addWidget(button);
    buttons->addStretch(200);

    // The keys reach the dialog itself, not a button that would take the arrows for focus moves.
    for (QPushButton* button : qAsConst(m_buttons))
        button->setFocusPolicy(Qt::NoFocus);
    findChild<QPushButton*>(QStringLiteral("preButton"))->setToolTip(tr("上一张 (←，Ctrl+滚轮向上)"));
    findChild<QPushButton*>(QStringLiteral("nextButton"))->setToolTip(tr("下一张 (→，Ctrl+滚轮向下)"));
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(tr("←/→ 或 Ctrl+滚轮 上一张/下一张；1–9 放入类别，Shift+1–9 移出，0 移出全部类别"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(labels);
    layout->addWidget(m_imageWidget);
    layout->addLayout(buttons);
}

QPhotoViewImageDlg::~QPhotoViewImageDlg() = default;

void QPhotoViewImageDlg::SetImage(const QString& path)
{
    m_path = path;
    QString refusal;
    QSize whole;
    m_picture.reset(LoadUpright(path, &refusal, &whole));
    m_imageWidget->SetPixmap(m_picture.get());

    const QFileInfo info(path);
    m_nameLabel->setText(info.baseName());
    m_timeLabel->setText(info.lastModified().toString(Qt::TextDate));
    // A giant picture is shown reduced but named by its own size; one too large to show says why.
    if (!whole.isValid())
        whole = m_picture->size();
    m_sizeLabel->setText(refusal.isEmpty() ? tr("%1 x %2 像素").arg(whole.width()).arg(whole.height())
                                           : refusal);
    m_imageWidget->update();
    emit imageShown(path);
}

void QPhotoViewImageDlg::SetMarks(const QList<QColor>& colors)
{
    m_marks = colors;
    QString squares;
    for (const QColor& color : colors)
        squares +=
            QStringLiteral("<span style=\"color:%1; font-size:18px\">&#9632;</span>").arg(color.name());
    m_marksLabel->setText(squares);
}

void QPhotoViewImageDlg::SetCompareImage(const QString& path)
{
    m_comparePicture.reset(LoadUpright(path));
    m_compareDlg->SetImages(m_picture.get(), m_comparePicture.get());
    m_compareDlg->exec();
}

void QPhotoViewImageDlg::onCheckFullScreen()
{
    showMaximized();
    m_zoom = 1.0;
}

void QPhotoViewImageDlg::onCheckSmallButton()
{
    m_zoom = m_zoom - kZoomStep;
    if (m_zoom <= 0)
        m_zoom = kZoomStep;
    m_imageWidget->SetScale(m_zoom);
}

void QPhotoViewImageDlg::onCheckMaxButton()
{
    m_zoom = m_zoom + kZoomStep;
    if (m_zoom >= kMaxZoom)
        m_zoom = kMaxZoom;
    m_imageWidget->SetScale(m_zoom);
}

void QPhotoViewImageDlg::onCheckPreImage()
{
    emit sigGetPreImage();
}

void QPhotoViewImageDlg::onCheckNextImage()
{
    emit sigGetNextImage();
}

void QPhotoViewImageDlg::onCheckLeft90Degree()
{
    m_imageWidget->Rotate(-90);
    m_zoom = 1.0;
}

void QPhotoViewImageDlg::onCheckRight90Degree()
{
    m_imageWidget->Rotate(90);
    m_zoom = 1.0;
}

void QPhotoViewImageDlg::onCheckCompare()
{
    emit sigGetCompareImage();
}

QPushButton* QPhotoViewImageDlg::CreateButton(const char* name, const QString& icon,
                                              void (QPhotoViewImageDlg::*slot)())
{
    auto* button = new QPushButton(this);
    button->setObjectName(QLatin1String(name));
    const QPixmap* picture = CSharedPixmap::get(icon);
    button->setIcon(QIcon(*picture));
    button->setIconSize(picture->size().scaled(QSize(40, 21), Qt::KeepAspectRatio));
    button->setMaximumHeight(25);
    button->setFlat(true);
    connect(button, &QPushButton::clicked, this, slot);
    m_buttons.append(button);
    return button;
}

QPixmap* QPhotoViewImageDlg::LoadUpright(const QString& path, QString* refusal, QSize* wholeSize)
{
    // Upright as the thumbnails are: a phone's portrait photo is shown standing and its size
    // label gives the upright size. A file that is no picture gives a 0 x 0 picture.
    return new QPixmap(QPixmap::fromImage(CImageReading::readUpright(path, refusal, wholeSize)));
}
