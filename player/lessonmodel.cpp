// LessonModel is declared in its header; this unit gives it its meta-object.
#include "player/lessonmodel.h"
