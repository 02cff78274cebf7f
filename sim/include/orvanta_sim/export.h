/* How each stand-in library of the simulated board marks the functions it exports: the
 * library being built exports them, its users import them. */
#ifndef ORVANTA_SIM_EXPORT_H
#define ORVANTA_SIM_EXPORT_H

#if defined(_WIN32)
#if defined(VEXO_SIM_RUNTIME_BUILD)
#define VEXO_SIM_API __declspec(dllexport)
#else
#define VEXO_SIM_API __declspec(dllimport)
#endif
#if defined(VEXO_SIM_HAP_BUILD)
#define VEXO_SIM_HAP_API __declspec(dllexport)
#else
#define VEXO_SIM_HAP_API __declspec(dllimport)
#endif
#if defined(VEXO_SIM_HW_BUILD)
#define VEXO_SIM_HW_API __declspec(dllexport)
#else
#define VEXO_SIM_HW_API __declspec(dllimport)
#endif
#if defined(VEXO_SIM_LOG_BUILD)
#define VEXO_SIM_LOG_API __declspec(dllexport)
#else
#define VEXO_SIM_LOG_API __declspec(dllimport)
#endif
#else
#define VEXO_SIM_API __attribute__((visibility("default")))
#define VEXO_SIM_HAP_API __attribute__((visibility("default")))
#define VEXO_SIM_HW_API __attribute__((visibility("default")))
#define VEXO_SIM_LOG_API __attribute__((visibility("default")))
#endif

#endif /* ORVANTA_SIM_EXPORT_H */
