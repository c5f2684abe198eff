// The designer's settings object and its welcome screen: the start page asks
// the window for new documents, recent documents and help only by posting it
// the welcome request, which is answered here.

#include "CDesignerINIInfo.h"
#include "CDesignerMainForm.h"

#include "CAppPaths.h"

std::unique_ptr<TFillerINIInfo> TDesignerMainForm::CreateSettings() const
{
    return std::make_unique<TDesignerINIInfo>(GlobalAppINI);
}

TDesignerINIInfo &TDesignerMainForm::DesignerSettings() const
{
    return static_cast<TDesignerINIInfo &>(Settings());
}
