#pragma once

// Registers the application shell's dialog templates, menus, accelerators, strings and images.
// Safe to call more than once.
void RegisterAppResources();
void RegisterAppDialogs();
void RegisterAppMenus();
void RegisterAppImages();
