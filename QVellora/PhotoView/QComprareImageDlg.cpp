// SPDX-License-Identifier: MIT
#include "PhotoView/QComprareImageDlg.h"

#include "Pictures/CImageReading.h"
#include "Pictures/CSharpestPicks.h"
#include "Pictures/CSharpness.h"

#include <QColor>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

static const QSize kWindowBox(1600, 800);

static QSize shareOf(int pictureCount)
{
    return QSize(qMin(kWindowBox.height(), kWindowBox.width() / qMax(pictureCount, 1)), kWindowBox.height());
}

QComprareImageDlg::QComprareImageDlg(QWidget* parent) : QDialog(parent), m_buttonLayout(new QHBoxLayout)
{
    auto* pictures = new QHBoxLayout;
    for (int i = 0; i < MaxPictures; ++i) {
        auto* label = new QLabel(this);
        // The names the two-picture compare always had.
        label->setObjectName(i == 0   ? QStringLiteral("leftLabel")
                             : i == 1 ? QStringLiteral("rightLabel")
                                      : QStringLiteral("picture%1Label").arg(i));
        label->setAlignment(Qt::AlignCenter);
        label->installEventFilter(this);
        auto* caption = new QLabel(this);
        caption->setObjectName(QStringLiteral("caption%1").arg(i));
        caption->setAlignment(Qt::AlignCenter);
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("sharpness%1Bar").arg(i));
        bar->setRange(0, 100);
        bar->setFixedWidth(220);
        auto* column = new QVBoxLayout;
        column->addWidget(label, 1);
        column->addWidget(caption);
        column->addWidget(bar, 0, Qt::AlignHCenter);
        pictures->addLayout(column);
        m_labels.append(label);
        m_captions.append(caption);
        m_sharpnessBars.append(bar);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pictures);
    layout->addLayout(m_buttonLayout);
    resize(kWindowBox);
}

void QComprareImageDlg::SetImages(const QPixmap* left, const QPixmap* right)
{
    m_paths.clear();
    SetCategories({}, {});
    QList<QPixmap> pictures;
    for (const QPixmap* picture : {left, right})
        pictures.append(picture ? *picture : QPixmap());
    ShowPictures(pictures);
    Choose(-1);
}

void QComprareImageDlg::SetPictures(const QStringList& paths, const QString& chosen)
{
    // Scored from the same reduced decode the thumbnail workers score, so the figures match theirs.
    QHash<QString, qreal> scores;
    for (const QString& path : paths.mid(0, MaxPictures)) {
        scores.insert(
            path, CSharpness::score(
                      CImageReading::thumbnailAndKept(path, CImageReading::thumbnailBox(), QSize()).decoded));
    }
    m_paths = CSharpestPicks::bySharpness(paths.mid(0, MaxPictures),
                                          [&scores](const QString& path) { return scores.value(path, -1); });
    const QSize box = shareOf(m_paths.size());
    QList<QPixmap> pictures;
    for (const QString& path : qAsConst(m_paths))
        pictures.append(QPixmap::fromImage(CImageReading::thumbnail(path, box)));
    ShowPictures(pictures);
    for (int i = 0; i < m_paths.size(); ++i) {
        m_captions.at(i)->setText(QFileInfo(m_paths.at(i)).fileName());
        const qreal score = scores.value(m_paths.at(i), -1);
        QProgressBar* bar = m_sharpnessBars.at(i);
        bar->setValue(score >= 0 ? qRound(score) : 0);
        bar->setFormat(score >= 0 ? tr("清晰度 %1").arg(qRound(score)) : tr("清晰度无法评估"));
        bar->setVisible(true);
    }
    Choose(m_paths.indexOf(chosen));
}

void QComprareImageDlg::SetCategories(const QStringList& names, const QList<QColor>& colors)
{
    qDeleteAll(m_categoryButtons);
    m_categoryButtons.clear();
    m_categoryCount = qMin(names.size(), int(MaxCategoryKeys));
    for (int row = 0; row < m_categoryCount; ++row) {
        const QString name = names.at(row).isEmpty() ? tr("分类 %1").arg(row + 1) : names.at(row);
        auto* button = new QPushButton(QStringLiteral("%1 %2").arg(row + 1).arg(name), this);
        button->setObjectName(QStringLiteral("category%1Button").arg(row + 1));
        if (row < colors.size()) {
            QPixmap swatch(12, 12);
            swatch.fill(colors.at(row));
            button->setIcon(QIcon(swatch));
        }
        // Keys belong to the window, not to whichever button has the focus.
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, row]() { PutIntoCategory(row); });
        m_buttonLayout->addWidget(button);
        // Added to an open window, a button shows now, not after the next pass of the event loop.
        button->setVisible(true);
        m_categoryButtons.append(button);
    }
}

void QComprareImageDlg::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        PutIntoCategory(key - Qt::Key_1);
    } else if (key == Qt::Key_Left && m_chosen > 0) {
        Choose(m_chosen - 1);
    } else if (key == Qt::Key_Right && m_chosen >= 0 && m_chosen + 1 < m_paths.size()) {
        Choose(m_chosen + 1);
    } else {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool QComprareImageDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const int index = m_labels.indexOf(qobject_cast<QLabel*>(watched));
        if (index >= 0 && index < m_paths.size())
            Choose(index);
    }
    return QDialog::eventFilter(watched, event);
}

void QComprareImageDlg::ShowPictures(const QList<QPixmap>& pictures)
{
    const QSize box = shareOf(pictures.size());
    for (int i = 0; i < m_labels.size(); ++i) {
        QLabel* label = m_labels.at(i);
        const QPixmap picture = pictures.value(i);
        label->setPixmap(picture.isNull()
                             ? QPixmap()
                             : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        label->setMaximumSize(box.grownBy(QMargins(3, 3, 3, 3)));
        label->setVisible(i < pictures.size());
        m_captions.at(i)->setVisible(i < pictures.size());
        m_captions.at(i)->clear();
        m_sharpnessBars.at(i)->setVisible(false); // shown with a group's scores
    }
    update();
}

void QComprareImageDlg::Choose(int index)
{
    m_chosen = index;
    for (int i = 0; i < m_labels.size(); ++i)
        m_labels.at(i)->setStyleSheet(i == m_chosen ? QStringLiteral("border: 3px solid #1e78c8;")
                                                    : QStringLiteral("border: 3px solid transparent;"));
}

void QComprareImageDlg::PutIntoCategory(int row)
{
    if (row < 0 || row >= m_categoryCount || m_chosen < 0)
        return;
    emit sigPutIntoCategory(row, {m_paths.at(m_chosen)});
}
