// Our three stored skins, compiled into the program from their packed files
// in stored/ (made by tools/skingen). Before the first generation there are
// none, and the program has no stored skins.
#include "skin/core/storedskins.h"

#ifdef NORVIX_STORED_SKINS_DIR
#define NORVIX_STORED_SKIN(symbol, file)                                            \
    ".section .rodata\n.balign 16\n.globl " symbol "\n.hidden " symbol "\n" symbol \
    ":\n.incbin \"" NORVIX_STORED_SKINS_DIR "/" file "\"\n.globl " symbol "_end\n.hidden " symbol "_end\n" symbol "_end:\n.previous\n"

asm(NORVIX_STORED_SKIN("norvix_stored_pulsar", "pulsar.asz"));
asm(NORVIX_STORED_SKIN("norvix_stored_office", "office2007black.asz"));
asm(NORVIX_STORED_SKIN("norvix_stored_cold", "cold.asz"));

extern "C" const char norvix_stored_pulsar[], norvix_stored_pulsar_end[];
extern "C" const char norvix_stored_office[], norvix_stored_office_end[];
extern "C" const char norvix_stored_cold[], norvix_stored_cold_end[];
#endif

namespace skin {

void AddOwnStoredSkins(TsStoredSkins& skins) {
#ifdef NORVIX_STORED_SKINS_DIR
    const struct {
        const char* Name;
        const char* Begin;
        const char* End;
    } own[] = {
        {"Pulsar (internal)", norvix_stored_pulsar, norvix_stored_pulsar_end},
        {"Office2007 Black (internal)", norvix_stored_office, norvix_stored_office_end},
        {"Cold (internal)", norvix_stored_cold, norvix_stored_cold_end},
    };
    for (const auto& skin : own) {
        TsStoredSkin& item = skins.Add();
        item.SetName(skin.Name);
        item.Data.assign(skin.Begin, skin.End);
    }
#else
    (void)skins;
#endif
}

}  // namespace skin
