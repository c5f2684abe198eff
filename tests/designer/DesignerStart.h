#pragma once
// Starting the designer's window in a test: a document saved as the designer saves it,
// and the window on it, shown and active, with the plug-ins of a folder.

#include "CDesignerMainForm.h"
#include "CDocumentBuilder.h"
#include "CGlobal.h"
#include "CGlobalMessages.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// Answers as the designer's window does while a document is built, so that the
// document is saved for designing rather than filling in.
class TDesignerStandIn : public QWidget, public TMessageTarget
{
public:
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGIsFiller)
            message.Result = 1;
    }
};

inline bool SaveForDesigning(TDocumentBuilder &doc, const QString &path)
{
    TDesignerStandIn designer;
    GlobalMainForm = &designer;
    doc.Project.SetFilling(false);
    const bool saved = doc.Save(path);
    GlobalMainForm = nullptr;
    return saved;
}

// The window opens the document, if any, once shown.
inline std::unique_ptr<TDesignerMainForm> StartDesigner(const QString &plugInFolder,
                                                        const QString &document = QString())
{
    auto window = std::make_unique<TDesignerMainForm>();
    window->SetPlugInFolder(plugInFolder);
    window->FormCreate();
    if (!document.isEmpty())
        window->SetStartDocument(document);
    window->resize(1100, 860);
    window->show();
    QCoreApplication::processEvents();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    return window;
}
