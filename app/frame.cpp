#include "app/frame.h"

namespace app {

const rt::ServiceTable* gServices = nullptr;

}  // namespace app
