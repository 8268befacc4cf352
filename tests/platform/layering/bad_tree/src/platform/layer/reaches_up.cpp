// A platform file that reaches up into the application: the check must refuse it.
#include "platform/layer/fine.h"
#include <demo/demo_data.h>
