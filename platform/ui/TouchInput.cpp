#include "TouchInput.h"

#include <Elementary.h>

namespace ostra {

void useTouchScrolling() {
    elm_config_scroll_thumbscroll_enabled_set(EINA_TRUE);
}

}  // namespace ostra
