/* The description record handed to callers by Fg_getParameterInfo: one layout, field for field,
 * on Windows x64 and Linux x86-64. The runtime's own parameter description uses it too, so the
 * offsets below are an interface and are asserted. C (C11) and C++. */
#ifndef ORVANTA_PARAMETER_INFO_NODE_H
#define ORVANTA_PARAMETER_INFO_NODE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define ORVANTA_LAYOUT_ASSERT(condition, text) static_assert(condition, text)
#else
#define ORVANTA_LAYOUT_ASSERT(condition, text) _Static_assert(condition, text)
#endif

typedef struct ParameterInfoNode ParameterInfoNode;
typedef union ParameterValueBlock ParameterValueBlock;

/* Node types (the record's `type`). */
enum ParameterInfoType {
    PARAM_INFO_CATEGORY = 0,
    PARAM_INFO_UINT32 = 1,
    PARAM_INFO_ENUM = 3,
    PARAM_INFO_STRING = 5,
    PARAM_INFO_DOUBLE = 6,
    PARAM_INFO_UINT64 = 9,
    PARAM_INFO_INT32 = 11,
    PARAM_INFO_INT64 = 12,
};

/* Access flags of a record: 1 readable, 2 writable, 4 the further flag of most writable
 * parameters. A record the runtime describes for the applet carries 0. */
enum ParameterInfoAccess {
    PARAM_ACCESS_NONE = 0,
    PARAM_ACCESS_READ = 1,
    PARAM_ACCESS_READ_WRITE = 3,
    PARAM_ACCESS_READ_WRITE_CHANGE = 7,
};

/* Five 64-bit words whose meaning depends on the node type; words a type does not use hold 0. */
union ParameterValueBlock {
    uint64_t words[5];
    struct {
        int32_t childCount;
        int32_t pad0;
        ParameterInfoNode** children;
        int32_t nextIndex;
        int32_t pad1;
        uint64_t unused[2];
    } category;
    struct {
        uint32_t min, max;
        uint32_t inc, pad;
        uint64_t unused[3];
    } u32;
    struct {
        int32_t min, max;
        int32_t inc, pad;
        uint64_t unused[3];
    } i32;
    struct {
        uint64_t min, max, inc;
        uint64_t unused[2];
    } u64;
    struct {
        int64_t min, max, inc;
        uint64_t unused[2];
    } i64;
    struct {
        double min, max, inc;
        uint64_t unused[2];
    } dbl;
    struct {
        int32_t entryCount;
        int32_t pad;
        char** entryNames;
        int32_t* entryValues;
        uint64_t unused;
        char** entrySymbols;
    } enumeration;
    struct {
        uint64_t unused0;
        char* filter;
        uint64_t unused[3];
    } text;
};

struct ParameterInfoNode {
    int32_t type;
    int32_t index;
    char* name;
    char* parameterName;
    uint32_t access;
    uint32_t grade;
    uint32_t published;
    int32_t id;
    ParameterValueBlock value;
    ParameterInfoNode* older;
    ParameterInfoNode* newer;
    int32_t depth;
    char* parentName;
    char* unit;
    int32_t port;
};

ORVANTA_LAYOUT_ASSERT(sizeof(void*) == 8, "the description record is defined for 64-bit targets");
ORVANTA_LAYOUT_ASSERT(sizeof(ParameterValueBlock) == 40, "value block is five 64-bit words");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, type) == 0, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, index) == 4, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, name) == 8, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, parameterName) == 16, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, access) == 24, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, grade) == 28, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, published) == 32, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, id) == 36, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, value) == 40, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, older) == 80, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, newer) == 88, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, depth) == 96, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, parentName) == 104, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, unit) == 112, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterInfoNode, port) == 120, "record layout");
ORVANTA_LAYOUT_ASSERT(sizeof(ParameterInfoNode) == 128, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, category.children) == 8, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, category.nextIndex) == 16, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, u32.inc) == 8, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, enumeration.entryNames) == 8, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, enumeration.entryValues) == 16, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, enumeration.entrySymbols) == 32, "record layout");
ORVANTA_LAYOUT_ASSERT(offsetof(ParameterValueBlock, text.filter) == 8, "record layout");

#endif /* ORVANTA_PARAMETER_INFO_NODE_H */
