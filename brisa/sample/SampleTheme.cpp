#include "SampleTheme.h"

#include <ostra/app_common.h>

#include <cstdlib>

namespace sample {

std::string themePath() {
    char* res = app_get_resource_path();
    std::string path = std::string(res ? res : "") + "edje/zentrel_sample.edj";
    free(res);
    return path;
}

}  // namespace sample
