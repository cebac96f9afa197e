/* A direct call of a function that came with Vista, as a slip in the program would make:
   the import check must refuse this binary. */
#include <windows.h>

int main(void) {
    return (int)(GetTickCount64() & 1);
}
