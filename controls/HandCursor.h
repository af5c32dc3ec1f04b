#pragma once

#include <QCursor>

// The library's hand pointer, made once from its "HAND" resource.
namespace HandCursor {

QCursor Get();

}  // namespace HandCursor
