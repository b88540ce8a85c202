"""How a benchmark says whether a figure met its goal. The verdict is printed
beside the figure for a person to read; no benchmark passes or fails on it."""


def verdict(met):
    return "met" if met else "NOT met"


def ratio_line(label, value, reference_value, reference_name, goal):
    """ "label 1.03x qwref (goal <= 1.2x): met"; a reference of zero gives no
    ratio, and says so, rather than a division by zero or a made-up figure."""
    if reference_value <= 0:
        return f"{label}: no ratio, {reference_name}'s figure is {reference_value}"
    ratio = value / reference_value
    return f"{label} {ratio:.2f}x {reference_name} (goal <= {goal}x): {verdict(ratio <= goal)}"


def at_most_line(label, value, goal, unit):
    """ "label 0.00 ms (goal <= 0 ms): met" """
    return f"{label} {value:.2f} {unit} (goal <= {goal:g} {unit}): {verdict(value <= goal)}"
