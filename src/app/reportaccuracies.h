#pragma once
// The instruments' accuracies the reports compute the capability's uncertainty with: those the
// Uncertainty window shows when it is open, else those it keeps in the settings, else the
// fields' hints.

#include "uncertainty/propagation.h"

class Windows;

uncertainty::Accuracies reportAccuracies(Windows& windows);
