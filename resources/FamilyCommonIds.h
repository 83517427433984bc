#pragma once

// Resource ids of the windows two families share.
namespace common_res {

inline constexpr int kSetPassDialog = 31012;
inline constexpr int kSetPassNewEdit = 103;
inline constexpr int kSetPassConfirmEdit = 104;

void RegisterFamilyCommonResources();

}  // namespace common_res
