/* Functions for the dll object's corpus scripts: results wider than their
 * declared type, writes through by-reference integers of every width and
 * into string buffers, many parameters, and a callee-pops function on
 * 32-bit Windows. */
#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define TEST_API __declspec(dllexport)
#define TEST_STDCALL __stdcall
#else
#define TEST_API __attribute__((visibility("default")))
#define TEST_STDCALL
#endif

/* The low 16 bits are all ones, the high ones are not: only the declared
 * width may reach the script. */
TEST_API uint32_t low_ones(void) {
    return 0x1234FFFFu;
}

/* Each parameter as the callee sees it after widening. */
TEST_API int32_t widen_sum(int8_t s8, uint8_t u8, int16_t s16, uint16_t u16) {
    return (int32_t)s8 + (int32_t)u8 + (int32_t)s16 + (int32_t)u16;
}

/* Adds one to each, wrapping at its own width. */
TEST_API void bump_all(uint8_t* u8, uint16_t* u16, uint32_t* u32, int8_t* s8, int16_t* s16, int32_t* s32) {
    ++*u8;
    ++*u16;
    ++*u32;
    *s8 = (int8_t)(*s8 + 1);
    *s16 = (int16_t)(*s16 + 1);
    ++*s32;
}

/* a1 * 1 + a2 * 2 + ... + a20 * 20: any parameter out of place shows. */
TEST_API int32_t weighted20(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                            int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11, int32_t a12,
                            int32_t a13, int32_t a14, int32_t a15, int32_t a16, int32_t a17, int32_t a18,
                            int32_t a19, int32_t a20) {
    return a1 * 1 + a2 * 2 + a3 * 3 + a4 * 4 + a5 * 5 + a6 * 6 + a7 * 7 + a8 * 8 + a9 * 9 + a10 * 10 +
           a11 * 11 + a12 * 12 + a13 * 13 + a14 * 14 + a15 * 15 + a16 * 16 + a17 * 17 + a18 * 18 + a19 * 19 +
           a20 * 20;
}

TEST_API int32_t subtract(int32_t a, int32_t b) {
    return a - b;
}

/* Removes its own arguments on 32-bit Windows. */
TEST_API int32_t TEST_STDCALL subtract_callee_pops(int32_t a, int32_t b) {
    return a - b;
}

/* Writes count letters from 'a' on, without a NUL. */
TEST_API void fill_letters(char* buffer, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        buffer[i] = (char)('a' + i % 26);
}

TEST_API const char* greeting(void) {
    return "hello from the library";
}

TEST_API const char* no_text(void) {
    return NULL;
}

static int32_t counter;

TEST_API void count_up(int32_t by) {
    counter += by;
}

TEST_API int32_t counted(void) {
    return counter;
}
