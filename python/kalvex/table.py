"""A table of runs: one numpy column per output, one row per run."""

import numpy


class Table:
    """Rows of runs held column by column.

    columns -- name -> numpy array: for a study the run number ("run", from 1) and the varied
               parameters first, then the outputs (as kalvex-study --list-outputs names them),
               then "message" (empty for a run that reached the muzzle)
    units   -- name -> unit of the column
    Outputs that a run does not have (it stopped, or burnout lies past the muzzle) are NaN.
    """

    def __init__(self, columns, units):
        self.columns = dict(columns)
        self.units = dict(units)

    @property
    def names(self):
        return list(self.columns)

    def __len__(self):
        return len(self.columns["message"])

    def __getitem__(self, name):
        return self.columns[name]

    def __iter__(self):
        return iter(self.columns)

    def row(self, i):
        """Row i as a dict of plain values."""
        return {name: column[i].item() if hasattr(column[i], "item") else column[i]
                for name, column in self.columns.items()}

    def failed(self):
        """Indices of the runs that did not reach the muzzle."""
        return [i for i, message in enumerate(self.columns["message"]) if message]

    def to_pandas(self):
        """The table as a pandas DataFrame (pandas must be installed)."""
        try:
            import pandas
        except ImportError as missing:
            raise ImportError("to_pandas needs pandas (Debian: python3-pandas)") from missing
        return pandas.DataFrame(self.columns)

    def __eq__(self, other):
        """Same columns in the same order with the same values; NaN equals NaN."""
        if not isinstance(other, Table):
            return NotImplemented
        if self.names != other.names or self.units != other.units:
            return False
        return all(numpy.array_equal(self[name], other[name], equal_nan=name != "message")
                   for name in self.names)

    @classmethod
    def concatenate(cls, tables):
        """The rows of several tables with the same columns, one after the other."""
        first = tables[0]
        return cls({name: numpy.concatenate([t[name] for t in tables]) for name in first.names}, first.units)

    def __repr__(self):
        return f"<kalvex.Table: {len(self)} rows, columns {', '.join(self.names)}>"
