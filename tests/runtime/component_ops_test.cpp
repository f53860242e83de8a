#include <gtest/gtest.h>
#include "runtime/component_ops.h"

namespace {
// Distinct addresses, one per slot; only their identity matters.
char gSlots[14];
template <class Fn> Fn slot(int op) { return reinterpret_cast<Fn>(&gSlots[op]); }
}  // namespace

TEST(ComponentOps, LookupHandsOutTheSlotOfEachOperationNumber) {
  const rt::ComponentOps ops = {
    .version = 1,
    .create = slot<rt::CreateComponentFn>(1), .query2 = slot<rt::AnswerFn>(2),
    .query3 = slot<rt::AnswerFn>(3), .propertyChanged = slot<rt::PropertyChangedFn>(4),
    .getAllPropertyData = slot<rt::GetAllPropertyDataFn>(5),
    .getPropertyData = slot<rt::GetPropertyDataFn>(6), .iconData = slot<rt::IconDataFn>(7),
    .wantsKey = slot<rt::WantsKeyFn>(8), .propertyTexts = slot<rt::PropertyTextsFn>(9),
    .isDefaultButton = slot<rt::IsDefaultButtonFn>(10), .messageFilter = slot<rt::MessageFilterFn>(11),
    .defaultSize = slot<rt::DefaultSizeFn>(12), .shutdown = slot<rt::ShutdownFn>(13),
  };
  for (int op = 1; op <= 13; ++op) {
    SCOPED_TRACE(op);
    EXPECT_EQ(static_cast<void*>(&gSlots[op]), rt::componentOperation(ops, op));
  }
  for (int op : {0, 14, -1}) EXPECT_EQ(nullptr, rt::componentOperation(ops, op));
  EXPECT_EQ(nullptr, rt::componentOperation(rt::ComponentOps{.version = 1}, rt::kOpCreate));
}
