#include "CDocumentBuilder.h"

#include "CBasePgCtrl.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPageControl.h"
#include "CProjectIO.h"

TDocumentBuilder::TDocumentBuilder(int pages)
    : m_oldMain(GlobalMainForm), m_oldPages(GlobalPagesPageControl),
      m_oldProject(GlobalProjectProps)
{
    GlobalMainForm = nullptr;
    m_pages = std::make_unique<TPageControl>(nullptr);
    m_pages->SetName(QStringLiteral("PagesPageControl"));
    GlobalPagesPageControl = m_pages.get();
    GlobalProjectProps = &Project;
    for (int i = 0; i < pages; ++i)
        AddPage();
}

TDocumentBuilder::~TDocumentBuilder()
{
    m_pages.reset();
    Project.Clear();
    GlobalMainForm = m_oldMain;
    GlobalPagesPageControl = m_oldPages;
    GlobalProjectProps = m_oldProject;
}

int TDocumentBuilder::AddPage(const QString &caption)
{
    // New pages take their paper without asking about elements.
    TGlobalFlagScope adding(GlobalAddingPage);
    const int index = m_pages->PageCount();
    TTabSheet *sheet = m_pages->AddPage(caption);
    sheet->SetName(QStringLiteral("TabSheet%1").arg(index + 1));
    auto *view = new TFillerScrollBox(m_pages.get(), sheet);
    view->SetName(QStringLiteral("FillerScrollBox%1").arg(index + 1));
    view->resize(900, 1200);
    m_views << view;
    Project.AddPage();
    return index;
}

void TDocumentBuilder::Place(QWidget *widget, TComponent *component, int page, const QString &name,
                             const QRect &at)
{
    widget->setParent(View(page));
    component->SetName(name);
    widget->setGeometry(at.translated(View(page)->PaperRect().topLeft()));
    if (auto *visual = qobject_cast<TVisualPgCtrl *>(widget)) {
        visual->CalcRelBounds(true, true, true, true, true, true);
        visual->CalcPosSizeProps(true, true, true, true, true, true);
    }
}

bool TDocumentBuilder::Save(const QString &path)
{
    return SaveDocument(path, Info);
}
