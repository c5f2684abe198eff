#pragma once
// What an element plug-in is made of: one element class and one registration
// line in a file built with velora_add_plugin(), which adds the two images.
//
//     class TScribe : public TVisualPgCtrlNumeric
//     {
//         Q_OBJECT
//     public:
//         using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
//         int ClassTypeID() const override { return 20; }
//     };
//     VELORA_REGISTER_ELEMENT(TScribe)
//
// The registry finds the class by the plug-in's file name: vrPI_Scribe.bpl
// must register TScribe. Loading the file registers the class, unloading it
// takes the class away again.

#include "CBasePgCtrl.h"
#include "CClassRegistry.h"

#include <QObject>
#include <type_traits>

#define VELORA_REGISTER_ELEMENT(ElementClass)                                                      \
    static_assert(std::is_base_of_v<TBasePgCtrl, ElementClass>,                                    \
                  #ElementClass " must derive from a form element class");                         \
    static_assert(std::is_constructible_v<ElementClass, TComponent *>,                             \
                  #ElementClass " needs a constructor taking its owner");                          \
    static_assert(QtPrivate::HasQ_OBJECT_Macro<ElementClass>::Value,                               \
                  #ElementClass " needs Q_OBJECT: it is registered by its own class name");        \
    namespace {                                                                                    \
    const TClassRegistration<ElementClass> veloraElementRegistration_##ElementClass;               \
    }
