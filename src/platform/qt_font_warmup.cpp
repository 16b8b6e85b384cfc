#include "platform/qt_font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace tarnwick {

FontWarmUp::FontWarmUp()
{
    // A thread that cannot be made only means the reading happens later, on first use.
    try {
        m_thread = std::thread([] {
            if (!FcInit()) return;
            // Listing the fonts maps their caches, as the font database's first use does.
            FcPattern* all = FcPatternCreate();
            FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, nullptr);
            if (all && fields)
                if (FcFontSet* fonts = FcFontList(nullptr, all, fields)) FcFontSetDestroy(fonts);
            if (fields) FcObjectSetDestroy(fields);
            if (all) FcPatternDestroy(all);
        });
    } catch (const std::system_error&) {
    }
}

} // namespace tarnwick
