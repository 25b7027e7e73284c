#include "render/LightIds.h"

#include <GL/gl.h>

std::vector<std::uint32_t> makeLightIdPool() {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < 8; ++i) {
        ids.push_back(GL_LIGHT0 + i);
    }
    return ids;
}
