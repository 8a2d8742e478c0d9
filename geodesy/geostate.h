// State of the coordinate code: conversion caches, the grid-square table and the read-out
// settings that the conversions and position texts use.
#pragma once

namespace zarn {

struct GeoState {
  // Filled as the coordinate procedures are built.
};

}  // namespace zarn
