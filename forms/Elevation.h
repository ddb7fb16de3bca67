// Changes the registry refuses for want of rights. The user hears which key
// and, while the program runs without administrator rights, is offered to
// start it again as administrator on the page in front.
#pragma once

#include "platform/Platform.h"

#include <string>

namespace cv {

// From now on every ERightsError reported through the application's error
// handling comes with the offer instead of the plain error box.
void OfferAdministratorRestartOnRefusals(const TPlatform& platform);
// The offer: the message and the question. Yes starts the program again
// through the elevation prompt and, once it started, closes this run the
// usual way (settings and names saved) from the message loop.
void OfferAdministratorRestart(const TPlatform& platform, const std::string& message);

} // namespace cv
