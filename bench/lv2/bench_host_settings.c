/* Preloaded into lv2bench, which runs every plug-in at 48 kHz with its ports
 * at their defaults: BENCH_RATE sets the sample rate, and BENCH_CONTROLS
 * ("symbol=value symbol=value ...") replaces the defaults of those ports, so
 * every plug-in is measured at the same rate and in a chosen configuration. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <lilv/lilv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef LilvInstance* (*InstantiateFn)(const LilvPlugin*, double, const LV2_Feature* const*);
typedef void (*RangesFn)(const LilvPlugin*, float*, float*, float*);

LilvInstance* lilv_plugin_instantiate(const LilvPlugin* plugin, double rate,
                                      const LV2_Feature* const* features)
{
  InstantiateFn next = (InstantiateFn)dlsym(RTLD_NEXT, "lilv_plugin_instantiate");
  const char* wanted = getenv("BENCH_RATE");
  return next(plugin, wanted ? atof(wanted) : rate, features);
}

/* The index of the port with this symbol, or -1. */
static long PortIndex(const LilvPlugin* plugin, const char* symbol)
{
  const uint32_t n = lilv_plugin_get_num_ports(plugin);
  for (uint32_t i = 0; i < n; ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (strcmp(lilv_node_as_string(lilv_port_get_symbol(plugin, port)), symbol) == 0) return i;
  }
  return -1;
}

void lilv_plugin_get_port_ranges_float(const LilvPlugin* plugin, float* min_values,
                                       float* max_values, float* def_values)
{
  RangesFn next = (RangesFn)dlsym(RTLD_NEXT, "lilv_plugin_get_port_ranges_float");
  next(plugin, min_values, max_values, def_values);
  const char* controls = getenv("BENCH_CONTROLS");
  if (!controls || !def_values) return;
  char* list = strdup(controls);
  for (char* item = strtok(list, " "); item; item = strtok(NULL, " "))
  {
    char* equals = strchr(item, '=');
    if (!equals) continue;
    *equals = '\0';
    const long index = PortIndex(plugin, item);
    if (index < 0)
      fprintf(stderr, "bench: %s has no port '%s'\n",
              lilv_node_as_string(lilv_plugin_get_uri(plugin)), item);
    else
      def_values[index] = (float)atof(equals + 1);
  }
  free(list);
}
