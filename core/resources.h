// resources.h - identifiers of the resources compiled into the program from core/kavlib.rc.
// The resource compiler reads this file as well as C++, so it holds only #defines.
#ifndef KAV_RESOURCES_H
#define KAV_RESOURCES_H

#define KAV_ICON_ID 1            // the program's icon: 16, 32 and 48 pixel images
#define KAV_VERSION_MAJOR 7      // 7.6, as KAV_VERSION in include/kavlib.h
#define KAV_VERSION_MINOR 6
#define KAV_VERSION_TEXT "7.6"

#endif
