#pragma once
// Puts the library's globals back as it found them, even when a test body stops early.

#include "CGlobal.h"
#include "CPlugIns.h"

#include <tuple>

namespace GlobalsGuardDetail {
// Every global a test may set, named once so that saving and restoring cannot drift apart.
inline auto Live()
{
    return std::tie(GlobalProjectProps, GlobalDirtyPrnXOfs, GlobalDirtyPrnYOfs,
                    GlobalProjectChanged, GlobalLoadingProject, GlobalClearingProject,
                    GlobalAddingPage, GlobalAddingControl, GlobalGeneralString, GlobalMainForm,
                    GlobalPagesPageControl, GlobalFilling, GlobalSelectElementHook,
                    GlobalPgPropGroupPageView, GlobalDesignerSelection, GlobalDesignerUndoRedo,
                    GlobalRecordDblClickUndo, GlobalRecordPageDblClickUndo, GlobalPlugIns,
                    GlobalPasting);
}

template<class... T>
std::tuple<T...> Copy(const std::tuple<T &...> &live)
{
    return live;
}
} // namespace GlobalsGuardDetail

// As a fixture's first member it outlives the rest of the fixture, so the globals are
// restored only after whatever they pointed at has gone.
class TGlobalsGuard
{
public:
    TGlobalsGuard() : m_saved(GlobalsGuardDetail::Copy(GlobalsGuardDetail::Live())) { }
    ~TGlobalsGuard() { GlobalsGuardDetail::Live() = m_saved; }
    TGlobalsGuard(const TGlobalsGuard &) = delete;
    TGlobalsGuard &operator=(const TGlobalsGuard &) = delete;

private:
    decltype(GlobalsGuardDetail::Copy(GlobalsGuardDetail::Live())) m_saved;
};
