#include "measurement/MeasObserver.h"

namespace vintor {
namespace {
MeasObserver g_quiet;
MeasObserver* g_current = &g_quiet;
}  // namespace

MeasObserver& Observer() { return *g_current; }
void SetObserver(MeasObserver* observer) { g_current = observer ? observer : &g_quiet; }

}  // namespace vintor
