#pragma once

namespace namespaceOV {

// The node ids of the function tree that open windows or that others look up; the model's tree
// builder sets those its unit has. A field whose node the tree lacks matches no node.
struct NodeIds {
  static constexpr int kAbsent = -2;
  int summary = kAbsent;
  int firstChannel = kAbsent;  // the channels follow with consecutive ids
  int linking = kAbsent;
  int crossovers = kAbsent;
  int inputLevel = kAbsent;
  int inputDelay = kAbsent;
  int compressors = kAbsent;
  int inputNames = kAbsent;
  int outputLevel = kAbsent;
  int outputDelay = kAbsent;
  int limiter = kAbsent;
  int outputNames = kAbsent;
  int mixing = kAbsent;
  int advancedMixer = kAbsent;
  int pinkNoise = kAbsent;
  int dspCapacity = kAbsent;
  int security = kAbsent;
  int memory = kAbsent;
  int logic = kAbsent;
  int timer = kAbsent;
};

}  // namespace namespaceOV
