// SPDX-License-Identifier: MIT
#include "PhotoView/QViewerListWidget.h"

#include "Dialogs/QUserDialogs.h"
#include "PhotoView/QPhotoViewImageDlg.h"

QViewerListWidget::QViewerListWidget(QWidget* parent)
    : QListWidget(parent), m_viewDlg(std::make_unique<QPhotoViewImageDlg>())
{
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetPreImage, this, &QViewerListWidget::onGetPreImage);
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetNextImage, this, &QViewerListWidget::onGetNextImage);
    connect(m_viewDlg.get(), &QPhotoViewImageDlg::sigGetCompareImage, this,
            &QViewerListWidget::onGetCompareImage);
}

QViewerListWidget::~QViewerListWidget() = default;

void QViewerListWidget::onGetPreImage()
{
    if (StepCurrentRow(-1))
        m_viewDlg->SetImage(ViewablePath(m_currentRow));
}

void QViewerListWidget::onGetNextImage()
{
    if (StepCurrentRow(1))
        m_viewDlg->SetImage(ViewablePath(m_currentRow));
}

void QViewerListWidget::onGetCompareImage()
{
    if (StepCurrentRow(1))
        m_viewDlg->SetCompareImage(ViewablePath(m_currentRow));
}

void QViewerListWidget::onShowImageView()
{
    // The current row is kept when rows go away, so it may point past the last one.
    if (m_currentRow < 0 || m_currentRow >= ViewableCount())
        return;
    m_viewDlg->SetImage(ViewablePath(m_currentRow));
    QUserDialogs::exec(m_viewDlg.get());
}

bool QViewerListWidget::StepCurrentRow(int step)
{
    const int viewable = ViewableCount();
    if (viewable == 0)
        return false;
    m_currentRow = qMin(qMax(m_currentRow + step, 0), viewable - 1);
    return true;
}
