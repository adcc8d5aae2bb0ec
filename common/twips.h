// Twips per pixel of the primary screen: 1440 / logical dots per inch (15 at 96).
#pragma once

double twipsPerPixelX();
double twipsPerPixelY();
