#include "graphics/EmfPlayer.h"

namespace vcl {

// Playback comes with the record player.
void PlayEnhancedMetafile(TCanvas&, const TRect&, const std::vector<uint8_t>&) {}

}  // namespace vcl
