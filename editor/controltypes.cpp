// The one table of skin control types. Adding a family: include its header
// below, then add one line per type word to kControlTypes, for example
//     {"GPotDot", 4, &GPotDot::create},
// Words match ignoring case; the first entry with the word wins.
#include "editor/builder.h"
#include "editor/buildertables.h"

#include <initializer_list>

// Control families.
#include "controls/buttons.h"
#include "controls/images.h"
#include "controls/links.h"
#include "controls/meters.h"
#include "controls/pagesel.h"
#include "controls/pots.h"
#include "controls/slides.h"
#include "controls/values.h"
#include "controls/waves.h"

namespace Zorv {

namespace {

const std::initializer_list<GControlType> kControlTypes = {
    {"GBarFracMeter", 3, &GBarFracMeter::create},
    {"GPotDot", 4, &GPotDot::create},
    {"GBgPotDot", 4, &GBgPotDot::create},
    {"GPotLine", 4, &GPotLine::create},
    {"GTextPeak", 4, &GTextPeak::create},
    {"GUrl", 1, &GUrl::create},
    {"GImgUrl", 2, &GImgUrl::create},
    {"GImgCommand", 2, &GImgCommand::create},
    {"GImgFracMeter", 2, &GImgFracMeter::create},
    {"GImgMeter", 4, &GImgMeter::create},
    {"GImgPot", 2, &GImgPot::create},
    {"GImgButton", 2, &GImgButton::create},
    {"GImgPageSel", 2, &GImgPageSel::create},
    {"GImgRadio", 4, &GImgRadio::create},
    {"GImgSwitch", 2, &GImgSwitch::create},
    {"GImgPeak", 3, &GImgPeak::create},
    {"GImg", 1, &GImg::create},
    {"GLabel", 4, &GLabel::create},
    {"GValue", 2, &GValue::create},
    {"GBgValue", 3, &GBgValue::create},
    {"GPageSelHlt", 2, &GPageSelHlt::create},
    {"GHlSwitch", 8, &GHlSwitch::create},
    {"GHlRadio", 10, &GHlRadio::create},
    {"GZoomWave", 10, &GZoomWave::create},
    {"GWave", 6, &GWave::create},
    {"GSlide", 7, &GSlide::create},
};

}  // namespace

const GControlType* findControlType(const char* word)
{
    return skinwords::findWord(kControlTypes, word);
}

}  // namespace Zorv
