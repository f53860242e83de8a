// A component type's operations as one record of functions. Each type keeps
// a static const ComponentOps and hands its slots out through
// componentOperation(), the numbered lookup its type record points to.
#pragma once
#include "runtime/abi.h"

namespace rt {

// Property numbers below this are the common ones the runtime answers; the
// component's own operations see number - kFirstOwnProperty.
constexpr int32_t kFirstOwnProperty = 8;

// Operation 9: called once per text property with its current GBK text;
// a non-null answer replaces the text (the component copies it).
typedef const char* (RT_CALL* PropertyTextFn)(void* ctx, int32_t index, const char* text);
typedef void (RT_CALL* PropertyTextsFn)(LiveObject* obj, PropertyTextFn fn, void* ctx);
// Operation 7: the window's icon data, or null (and *size 0) without one.
typedef const uint8_t* (RT_CALL* IconDataFn)(LiveObject* obj, uint32_t* size);
// Operations 2 and 3 of the browser view: fixed answers.
typedef int32_t (RT_CALL* AnswerFn)();

// The operations in number order: F(operation, function type, slot).
#define RT_COMPONENT_OPERATIONS(F)                                    \
  F(kOpCreate, CreateComponentFn, create)                             \
  F(kOpQuery2, AnswerFn, query2)                                      \
  F(kOpQuery3, AnswerFn, query3)                                      \
  F(kOpPropertyChanged, PropertyChangedFn, propertyChanged)           \
  F(kOpGetAllPropertyData, GetAllPropertyDataFn, getAllPropertyData)  \
  F(kOpGetPropertyData, GetPropertyDataFn, getPropertyData)           \
  F(kOpIconData, IconDataFn, iconData)                                \
  F(kOpWantsKey, WantsKeyFn, wantsKey)                                \
  F(kOpPropertyTexts, PropertyTextsFn, propertyTexts)                 \
  F(kOpIsDefaultButton, IsDefaultButtonFn, isDefaultButton)           \
  F(kOpMessageFilter, MessageFilterFn, messageFilter)                 \
  F(kOpDefaultSize, DefaultSizeFn, defaultSize)                       \
  F(kOpShutdown, ShutdownFn, shutdown)

// One slot per operation; an absent one is null (left out of the
// designated initializers).
struct ComponentOps {
  int32_t version;  // 1; slots are only appended
#define RT_OPS_SLOT(op, type, slot) type slot = nullptr;
  RT_COMPONENT_OPERATIONS(RT_OPS_SLOT)
#undef RT_OPS_SLOT
};

// The function of operation `op`, or null when the type does not offer it.
inline void* componentOperation(const ComponentOps& ops, int32_t op) {
#define RT_OPS_CASE(number, type, slot) \
  if (op == number) return reinterpret_cast<void*>(ops.slot);
  RT_COMPONENT_OPERATIONS(RT_OPS_CASE)
#undef RT_OPS_CASE
  return nullptr;
}

}  // namespace rt
