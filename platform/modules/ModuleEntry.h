#pragma once
// How a module exports its one entry: every other symbol of a module is
// hidden (trawlscope_add_module), so two modules' copies of our code never
// meet. The entry returns the address of the module's table of functions.
#define TRAWLSCOPE_MODULE_ENTRY extern "C" __attribute__((visibility("default"))) const void*
