// shell_messages.cpp - showing a catalogue text in a message box.
#include "voxel/shell/shell_messages.h"

#include "common/messages.h"

void show_catalogue_box(unsigned language, int text_slot, UINT icon) {
    current_messages = voxel_messages[language];
    MessageBoxA(NULL, current_messages[text_slot], current_messages[text_slot + 1], MB_OK | icon);
}
