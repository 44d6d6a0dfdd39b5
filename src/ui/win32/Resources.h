/* Resource identifiers, shared by the .rc script (plain defines, as windres reads them). */
#pragma once

#define VELOR_RES_ICON 1
#define VELOR_RES_WEB_ICON 2
#define VELOR_RES_INFO_ICON 3
#define VELOR_RES_WRITE_BITMAP 10
#define VELOR_RES_EMBLEM_BITMAP 11
